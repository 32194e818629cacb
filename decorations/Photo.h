#pragma once

#include "decorations/InertiaObj.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <limits>

class Photo;

// Four limits on a thumbnail's top-left corner, in strip coordinates.
struct CornerBounds {
    static constexpr int32_t kMin = std::numeric_limits<int32_t>::min();
    static constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
    int32_t xMin = kMin;
    int32_t yMin = kMin;
    int32_t xMax = kMax;
    int32_t yMax = kMax;
};

// What a thumbnail needs from its strip.
class PhotoHost : public TimerHost {
public:
    // The thumbnail has just left its pick bounds. Called synchronously from inside the
    // thumbnail's own motion; duringInertia is set when inertia carried it out.
    virtual void ThumbnailLeftBounds(Photo& photo, bool duringInertia) = 0;
};

// A thumbnail in a strip: a prepared bitmap at a corner position that can be dragged; leaving
// its pick bounds while held picks it.
class Photo : public InertiaObj {
public:
    // sequence is 1-based; it is also the thumbnail's timer id on the strip.
    Photo(PhotoHost& host, int sequence, float x, float y, float height);

    // The strip routes contacts here in strip coordinates.
    void OnContact(const ContactRecord& contact) override;
    bool HitTest(float x, float y) override;
    void ManipulationDelta(float dx, float dy) override;
    virtual void Translate(float dx, float dy);

    void SetThumbnail(const QImage& bitmap, float width, const QString& path);
    // The picture alone, for a thumbnail laid out before it was decoded (a null image: not yet).
    void SetBitmap(const QImage& bitmap) { bitmap_ = bitmap; }
    void SetPickBounds(const CornerBounds& bounds) { pickBounds_ = bounds; }

    float x() const { return x_; }
    float y() const { return y_; }
    float width() const { return width_; }
    float height() const { return height_; }
    float homeY() const { return homeY_; }
    const QString& path() const { return path_; }
    const QImage& bitmap() const { return bitmap_; }
    const CornerBounds& pickBounds() const { return pickBounds_; }
    const ContactRecord& lastContact() const { return lastContact_; }
    int sequence() const { return timerId(); }

protected:
    bool OutsidePickBounds() const;
    float x_;
    float y_;

private:
    PhotoHost& host_;
    float height_;
    float width_ = 0.0f;
    float homeY_;
    ContactRecord lastContact_;
    CornerBounds pickBounds_;
    QImage bitmap_;
    QString path_;
};
