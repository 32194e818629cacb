#pragma once

#include "decorations/ManualResetEvent.h"

#include <QImage>
#include <QRect>
#include <QString>

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class QPainter;
class QWidget;

// An image loaded from a GIF or PNG file that steps through its frames on a thread of its own,
// at the delays stored in the file. In AdvanceOnly mode the thread only selects the active frame
// (whoever draws the image shows that frame); in PaintIntoWindow mode it also asks targetWindow
// to repaint targetRect, and the window paints with PaintInto() on the interface thread.
class ImageEx {
public:
    enum Mode : int32_t { PaintIntoWindow = 0, AdvanceOnly = 1 };

    // Delays below 10 ms or above 5000 ms are shown for 80 ms instead.
    static int EffectiveDelayMs(uint32_t hundredths);

    explicit ImageEx(const QString& path);
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
    bool paused() const { return paused_; }
    bool running() const { return thread_.joinable(); }
    uint32_t frameCount() const { return static_cast<uint32_t>(frames_.size()); }
    uint32_t currentFrame() const { return currentFrame_.load(); }
    const std::vector<uint32_t>& frameDelays() const { return frameDelays_; }
    // Natural size; 0 × 0 when the file did not load.
    int width() const;
    int height() const;

    // The active frame (a cheap shared copy).
    QImage ActiveFrame() const;
    // Draws the active frame at its natural size with its top-left corner at (x, y).
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
    bool StartThread();
    void ThreadMain();
    bool Step(); // false when the thread must end

    std::vector<QImage> frames_;
    std::vector<uint32_t> frameDelays_;
    bool ready_ = false;
    bool paused_ = false;
    std::atomic<uint32_t> currentFrame_{0};
    std::unique_ptr<ManualResetEvent> pauseEvent_;
    std::unique_ptr<ManualResetEvent> exitEvent_;
    std::thread thread_;
    mutable std::mutex frameLock_; // frame selection and drawing never overlap
};
