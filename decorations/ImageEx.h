#pragma once

#include "ui/FileNameBytes.h"
#include "decorations/ManualResetEvent.h"

#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class ImageFileReader;
class QPainter;
class QWidget;

// An image loaded from a GIF or PNG file that steps through its frames on a thread of its own,
// at the delays stored in the file. In AdvanceOnly mode the thread only selects the active frame
// (whoever draws the image shows that frame); in PaintIntoWindow mode it also asks targetWindow
// to repaint targetRect, and the window paints with PaintInto() on the interface thread.
//
// A small animation is kept decoded whole. A larger one keeps only the active frame and the next
// few, which the thread decodes from the file while the active one is shown.
class ImageEx {
public:
    enum Mode : int32_t { PaintIntoWindow = 0, AdvanceOnly = 1 };
    enum class LoadOutcome { Loaded, Unreadable, TooLarge };

    // An animation whose frames all fit in this many bytes is kept decoded whole.
    static constexpr qint64 kWholeAnimationBytes = qint64{16} << 20;
    // Otherwise the active frame and this many after it are held.
    static constexpr uint32_t kFramesAhead = 3;
    // Loading decodes every frame once (to learn the delays); a file whose frames together would
    // make more than this is refused.
    static constexpr qint64 kLoadScanBytes = qint64{1} << 30;

    // Delays below 10 ms or above 5000 ms are shown for 80 ms instead.
    static int EffectiveDelayMs(uint32_t hundredths);

    // fitInside: frames larger than this are decoded scaled down to fit, keeping their shape; an
    // empty size keeps the natural size.
    explicit ImageEx(const QString& path, QSize fitInside = {});
    // Frames already in memory, with their delays in hundredths of a second.
    ImageEx(std::vector<QImage> frames, std::vector<uint32_t> delays);
    ~ImageEx();
    ImageEx(const ImageEx&) = delete;
    ImageEx& operator=(const ImageEx&) = delete;

    bool Animate();
    bool AnimateInto();
    void Pause();
    void Resume();
    void Stop();

    bool ready() const { return ready_; }
    LoadOutcome loadOutcome() const { return outcome_; }
    bool paused() const { return paused_; }
    bool running() const { return thread_.joinable(); }
    uint32_t frameCount() const { return static_cast<uint32_t>(frames_.size()); }
    uint32_t currentFrame() const { return currentFrame_.load(); }
    const std::vector<uint32_t>& frameDelays() const { return frameDelays_; }
    // Size of the frames as drawn; 0 × 0 when the file did not load.
    int width() const { return size_.width(); }
    int height() const { return size_.height(); }
    // Bytes of decoded frames held now.
    qint64 heldBytes() const;
    // Whether this was loaded from that file, unchanged since, to fit the same size: copies of
    // a sticker share one.
    bool SameSource(const QString& path, QSize fitInside) const;

    // The active frame (a cheap shared copy).
    QImage ActiveFrame() const;
    // Draws the active frame at its size with its top-left corner at (x, y).
    void DrawAt(QPainter& painter, int x, int y) const;
    // Draws the active frame stretched over target.
    void DrawInto(QPainter& painter, const QRect& target) const;
    // The paint step of PaintIntoWindow mode: window colour behind the active frame, stretched
    // onto targetRect with nearest-pixel scaling. Called from the target window's paint handler.
    void PaintInto(QPainter& painter) const;

    Mode mode = PaintIntoWindow;
    QWidget* targetWindow = nullptr; // must outlive the thread: its owner calls Stop first
    QRect targetRect; // set directly only before the thread starts; later through SetTargetRect
    // Moves the painted area while the thread runs (a window that changed its size).
    void SetTargetRect(const QRect& rect);

private:
    void LoadFile(const QString& path);
    QImage Prepared(const QImage& decoded) const;
    bool StartThread();
    void ThreadMain();
    bool Step(); // false when the thread must end
    bool streaming() const { return source_ != nullptr; }
    void DecodeAhead(uint32_t active);
    QImage DecodeNext(uint32_t* index);

    // One per frame; while streaming only the active frame and those ahead are not null.
    std::vector<QImage> frames_;
    std::vector<uint32_t> frameDelays_;
    QSize size_{0, 0};
    bool ready_ = false;
    LoadOutcome outcome_ = LoadOutcome::Unreadable;
    bool paused_ = false;
    std::atomic<uint32_t> currentFrame_{0};
    std::unique_ptr<ManualResetEvent> pauseEvent_;
    std::unique_ptr<ManualResetEvent> exitEvent_;
    std::thread thread_;
    mutable std::mutex frameLock_; // frame selection and drawing never overlap

    // Where frames come from while streaming; only the thread touches it once it runs.
    std::unique_ptr<ImageFileReader> source_;
    uint32_t nextDecoded_ = 0; // the frame source_ reads next
    QString path_;
    QSize fitInside_;
    FileStamp stamp_;
};
