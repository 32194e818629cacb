#pragma once

#include "decorations/ConstrainedPhoto.h"
#include "decorations/InertiaObj.h"
#include "decorations/PhotoThumbnail.h"
#include "decorations/PhotostripTypes.h"
#include "decorations/ThumbnailCache.h"
#include "decorations/ThumbnailLoader.h"
#include "decorations/TouchTargetRegistry.h"

#include <QElapsedTimer>
#include <QHash>
#include <QSet>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QPainter;
class QTimer;

// One row of thumbnails on a vertical gradient. Contacts from the pane scroll the row sideways
// (with inertia, within limits) and move the thumbnail under them vertically; pulling a frame or
// add-on thumbnail out of its place picks it.
class Photostrip : public QWidget, public PhotoHost, public InertiaObj {
    Q_OBJECT
public:
    static constexpr float kThumbnailGap = 25.0f;

    Photostrip(QWidget* parent, int width, int height, int top, StripPlacement placement,
               StripContent content, int32_t kind);
    ~Photostrip() override;

    // Pane coordinates.
    bool HitTest(float x, float y) override;
    void OnContact(const ContactRecord& contact) override;
    void ManipulationDelta(float dx, float dy) override;

    // One motion step: every thumbnail in order, then the strip, then a repaint. All running
    // timers call it; tests call it with their own clock.
    void Tick(int64_t nowMs);
    bool TimerActive(int timerId) const;

    void ClearStrip();
    void AppendThumbnail(std::unique_ptr<ConstrainedPhoto> photo);
    const std::vector<std::unique_ptr<ConstrainedPhoto>>& thumbnails() const { return thumbnails_; }
    // Sum of thumbnail widths and the gaps between them.
    float ThumbnailsExtent() const;

    // The file of the thumbnail at pane point (x, y); empty when none is there.
    QString PathAt(float x, float y) const;
    // How far a contact may move and still count as a tap, in pixels.
    static constexpr int kTapSlop = 4;

    // The wheel moves the row along, within the limits of a drag: a notch of a wheel (either
    // direction of it) glides the row a share of the strip's width, notches in quick succession
    // adding up; a touchpad's pixels move it at once.
    bool OnWheel(const WheelTurn& turn) override;
    static constexpr float kWheelNotch = 120.0f;      // eighths of a degree
    static constexpr float kWheelNotchShare = 0.3f;   // of the strip's width per notch

    // Draws the background and every thumbnail that overlaps the strip; an empty strip shows
    // its empty text instead.
    void Paint(QPainter& painter) const;

    // What an empty strip says (which folder to put which files in); empty: nothing.
    void SetEmptyText(const QString& text);
    const QString& emptyText() const { return emptyText_; }

    // Marks the thumbnail of path with a bright frame for a moment, so that a new photo is seen
    // arriving; false when the row has no such file.
    bool Highlight(const QString& path);
    const QString& highlightedPath() const { return highlightPath_; }
    static constexpr int kHighlightMs = 1600;
    // The highlight's time in milliseconds (tests hold it still); the strip's own clock if none.
    void SetHighlightClock(std::function<int64_t()> nowMs) { highlightNow_ = std::move(nowMs); }

    StripContent content() const { return content_; }
    StripPlacement placement() const { return placement_; }
    int32_t kind() const { return kind_; }
    void SetKind(int32_t kind) { kind_ = kind; }
    float scrollOffset() const { return scrollOffset_; }
    void SetScrollOffset(float offset) { scrollOffset_ = offset; }
    // Moves and sizes the strip (pane coordinates). The thumbnails stay as they are: a new
    // height needs them made again (a new fill).
    void Place(int width, int height, int top);
    int stripWidth() const { return width_; }
    int stripHeight() const { return height_; }
    int stripLeft() const { return left_; }
    int stripTop() const { return top_; }
    const TouchTargetRegistry& thumbnailTargets() const { return thumbnailTargets_; }
    // The prepared thumbnails of the last fill by path, so a reload decodes only new files.
    QHash<QString, PhotoThumbnail>& thumbnailCache() { return thumbnailCache_; }

    // On demand, the row is laid out from the files' headers and each thumbnail is decoded on a
    // worker only when it comes near the view; a placeholder stands in until then. Decoded
    // thumbnails are kept within a bound in bytes, the least recently shown leaving first.
    void SetLoadOnDemand(bool onDemand) { loadOnDemand_ = onDemand; }
    bool loadsOnDemand() const { return loadOnDemand_; }
    void SetThumbnailCacheBytes(size_t bytes);
    ThumbnailCache& decodedThumbnails() { return decoded_; }
    // Picture sizes of the last fill by path, so a reload reads only new headers.
    QHash<QString, PictureHeader>& headerCache() { return headerCache_; }
    // The row was laid out again: ask for what is in view.
    void ThumbnailsPlaced() { RequestInView(); }
    // Decodes still to come or not yet shown.
    bool thumbnailsPending() const { return loader_ && loader_->busy(); }
    // Waits for the decodes asked for so far and shows them.
    void WaitForThumbnails();
    // Decoded thumbnails handed over so far (failures too).
    uint64_t thumbnailsDelivered() const { return loader_ ? loader_->delivered() : 0; }
    // Where the strip's fling will come to rest, while one runs.
    std::optional<float> restOffset() const { return restOffset_; }
    // How far beyond the view thumbnails are decoded in advance, in strip widths: more in the
    // direction the row moves, less behind.
    static constexpr float kAheadMargin = 1.0f;
    static constexpr float kBehindMargin = 0.25f;

    void ManipulationStarted(float x, float y) override;
    void ManipulationCompleted() override;
    void StartTimer(int timerId) override;
    void KillTimer(int timerId) override;
    void ThumbnailLeftBounds(Photo& photo, bool duringInertia) override;

signals:
    // A frame or add-on thumbnail was picked (never sent by the photos strip).
    void thumbnailPicked(const QString& path, int kind);
    // A photos strip thumbnail was double-clicked or tapped without moving: open its file.
    void thumbnailActivated(const QString& path);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void Pick(Photo& photo);
    void TrackTap(const ContactRecord& contact);
    void Tapped(const QString& path, const ContactRecord& contact);
    void GlideBy(float distance);
    void ReleaseRetired();
    void RequestInView();
    void ThumbnailReady(const QString& path, float height, std::optional<PhotoThumbnail> thumbnail);
    void DropBitmaps(const std::vector<QString>& paths);
    float ClampedOffset(float candidate) const;
    static void PaintPlaceholder(QPainter& painter, const Photo& photo, StripPlacement placement);
    void PaintHighlight(QPainter& painter, const Photo& photo) const;
    void PaintEmptyText(QPainter& painter) const;
    void EndHighlight();

    StripContent content_;
    StripPlacement placement_;
    int32_t kind_;
    int width_;
    int height_;
    int left_ = 0;
    int top_;
    float scrollOffset_ = 0.0f;
    TouchTargetRegistry thumbnailTargets_;
    std::vector<std::unique_ptr<ConstrainedPhoto>> thumbnails_;
    // Thumbnails cleared while one of them may still be on the call stack (a pick handler
    // that reloads the strip); freed at the next contact or tick.
    std::vector<std::unique_ptr<ConstrainedPhoto>> retired_;
    QHash<QString, PhotoThumbnail> thumbnailCache_;
    QString emptyText_;
    QString highlightPath_;
    int64_t highlightStart_ = 0;
    QTimer* highlightTimer_ = nullptr; // repaints while the highlight fades
    std::map<int, QTimer*> timers_;
    QElapsedTimer clock_;
    std::function<int64_t()> highlightNow_;
    int64_t HighlightNow() const { return highlightNow_ ? highlightNow_() : clock_.elapsed(); }

    bool loadOnDemand_ = false;
    QHash<QString, PictureHeader> headerCache_;
    ThumbnailCache decoded_;
    QHash<QString, size_t> indexOf_; // path → place in thumbnails_
    QSet<QString> failed_;           // not decodable; asked again at the next fill
    float lastScroll_ = 0.0f;        // the direction of the last scroll step
    std::optional<float> restOffset_;
    // The contact that may become a tap, and the last mouse tap (a second one soon on the same
    // file is a double-click).
    struct Tap {
        uint32_t identifier = 0;
        int32_t x = 0;
        int32_t y = 0;
        bool moved = false;
        bool stoppedRow = false; // the press caught the row still gliding
    };
    std::optional<Tap> tap_;
    QString lastClickPath_;
    uint32_t lastClickTime_ = 0;
    // Last, so that its worker has stopped before anything it reports to goes away.
    std::unique_ptr<ThumbnailLoader> loader_;
};
