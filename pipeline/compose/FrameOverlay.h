#pragma once

#include "decorations/DecorationKind.h"
#include "decorations/ImageEx.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <unordered_map>

class QPainter;

// The big photo frame stretched over the whole picture: an animated GIF or a still PNG, one of
// each kept loaded, the one picked last drawn. Stretching is done once per source frame and
// picture size and kept, since painting a pre-scaled premultiplied image is several times faster
// than scaling on every camera frame. Not thread-safe: share a lock with the drawing thread.
class FrameOverlay {
public:
    // Scaled frames kept for an animated frame, in bytes; beyond that its frames are stretched
    // while drawing instead.
    static constexpr std::size_t kScaledCacheBudget = std::size_t{96} << 20;

    FrameOverlay() = default;
    ~FrameOverlay();
    FrameOverlay(const FrameOverlay&) = delete;
    FrameOverlay& operator=(const FrameOverlay&) = delete;

    // Loads a frame image off the lock: kind 0 starts its animation. Null for other kinds.
    static std::unique_ptr<ImageEx> LoadAnimated(const QString& path);
    static QImage LoadStill(const QString& path);

    // Installs a loaded frame and selects its kind; returns the animated frame it replaced (if
    // any) so that the caller can pause and release it outside the lock.
    std::unique_ptr<ImageEx> ReplaceAnimated(std::unique_ptr<ImageEx> gif);
    void ReplaceStill(QImage png);

    // Loads and installs in one go (no lock involved): kind 0 GIF, 1 PNG, others ignored.
    void SetFrameImage(const QString& path, int kind);

    // Draws the selected frame stretched over (0, 0, size); nothing for kind 2 or a missing image.
    void Draw(QPainter& painter, QSize size);

    // The kind of the frame drawn; none before one is picked or after Clear().
    std::optional<DecorationKind> frameKind() const { return frameKind_; }
    ImageEx* frameGif() const { return frameGif_.get(); }
    const QImage& framePng() const { return framePng_; }

    // Drops both images and selects none; returns the animated frame for the caller to pause and
    // release outside the lock.
    std::unique_ptr<ImageEx> Clear();

private:
    const QImage& Scaled(const QImage& source, QSize size);

    std::optional<DecorationKind> frameKind_;
    std::unique_ptr<ImageEx> frameGif_;
    QImage framePng_;

    // Stretched frames by source image key, all for scaledSize_.
    QSize scaledSize_;
    std::unordered_map<int64_t, QImage> scaled_;
    std::size_t scaledBytes_ = 0;
};
