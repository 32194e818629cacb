#pragma once

#include "pipeline/capture/FrameSource.h"
#include "pipeline/FrameStats.h"
#include "pipeline/stages/GrainRandom.h"
#include "pipeline/LoopClock.h"
#include "pipeline/stages/PictureSettings.h"
#include "pipeline/compose/Present.h"

#include <QImage>
#include <QSize>
#include <opencv2/core.hpp>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

class PictureModel;

// The camera and the worker thread that turns its frames into pictures, one pass per frame:
// take a frame (magnifying the zoom region), run the stages, lay the decorations over it, save a
// requested photo, and hand the picture at display size to whoever shows it. No widget: the
// picture leaves through a callback.
//
// Threads: Start, Stop and the setters are called on the interface thread. The worker takes and
// processes frames; a camera is read by a grabber thread that keeps only its newest frame; a
// presenter thread composes and hands out frame N while the worker processes frame N + 1 (two
// work frames in turn). Photos are written and corners detected on threads of their own, so no
// one-off holds up a picture. The run state is shared under runMutex_, the hand-over between
// worker and presenter under presentMutex_.
class FrameLoop {
public:
    // Called on the presenter thread with each finished picture (display size). It must not wait
    // for the interface thread.
    using PictureReady = std::function<void(QImage)>;
    // Called after PictureReady with the capture time of that picture's frame (benchmarks).
    using PictureTimed = std::function<void(std::chrono::steady_clock::time_point captured)>;
    // Called once on the worker when the running source has delivered nothing for lostAfter():
    // the camera is gone (unplugged, or a stream that ended). It must not wait for the interface
    // thread; whoever receives it stops the loop.
    using SourceLost = std::function<void()>;

    FrameLoop(PictureModel& model, FrameSourceFactory sources, PictureReady onPicture, SourceLost onLost = {});
    ~FrameLoop();
    FrameLoop(const FrameLoop&) = delete;
    FrameLoop& operator=(const FrameLoop&) = delete;

    enum class StartResult { Started, NoCamera };
    // Opens the source and starts the worker. A start that finds the previous worker still
    // alive (it has not yet seen the stop) hands the run back to it.
    StartResult Start();
    // Clears the run flag; the worker notices within one pass, releases the source and ends.
    // Never waits for the worker.
    void Stop();
    // Stops and waits for the worker to end (window destruction).
    void StopAndJoin();

    bool running() const { return running_.load(); }
    // True while any loop runs its camera (the main window refuses to close then).
    static bool RunningAnywhere() { return runningCount_.load() > 0; }

    // Picture size (camera pixels) and display size (screen pixels).
    void SetPictureSize(int width, int height);
    void SetDisplaySize(int width, int height);
    int pictureWidth() const { return pictureWidth_; }
    int pictureHeight() const { return pictureHeight_; }
    int displayWidth() const { return displayWidth_; }
    int displayHeight() const { return displayHeight_; }

    // While set, passes take no frames: the picture stands still (region selection).
    std::atomic<bool> paused { false };

    // How long a source may deliver nothing before it counts as lost, and how long a photo
    // request may wait for a frame before it is reported as not taken.
    static constexpr std::chrono::milliseconds kLostAfter { 2000 };
    static constexpr std::chrono::milliseconds kPhotoWait { 1000 };
    void SetLostAfter(std::chrono::milliseconds after) { lostAfter_ = after; }

    // Before Start: another clock (tests), an observer of each picture's capture time.
    void SetClock(std::shared_ptr<LoopClock> clock) { clock_ = std::move(clock); }
    void SetPictureTimed(PictureTimed onTimed) { onTimed_ = std::move(onTimed); }

    // Pictures per second and latency (capture to hand-out) since the last look; any thread.
    FrameStats& stats() { return stats_; }

    // One pass per period at most: about 30 pictures a second.
    static constexpr std::chrono::milliseconds kPassPeriod { 33 };

    // Number of workers started so far (only one ever runs at a time), and whether one runs.
    int workersStarted() const { return workersStarted_; }
    bool workerAlive() const;

private:
    using Clock = std::chrono::steady_clock;

    void Run(std::unique_ptr<FrameSource> source);
    void TakeIntoWorkFrame(const cv::Mat& raw, cv::Mat& workFrame, const PictureSettings& snapshot);
    // Worker: the work frame that the presenter is done with, and the hand-over of a processed one.
    cv::Mat& FreeWorkFrame();
    void HandOver(Clock::time_point captured);
    // Presenter thread.
    void Present();
    void ComposeAndHandOut(const cv::Mat& frame, Clock::time_point captured);
    void WakeWorker();

    PictureModel& model_;
    FrameSourceFactory sources_;
    PictureReady onPicture_;
    SourceLost onLost_;
    PictureTimed onTimed_;
    std::atomic<std::chrono::milliseconds> lostAfter_ { kLostAfter };
    std::shared_ptr<LoopClock> clock_ = std::make_shared<LoopClock>();
    FrameStats stats_;

    std::atomic<int> pictureWidth_ { -1 };
    std::atomic<int> pictureHeight_ { -1 };
    std::atomic<int> displayWidth_ { -1 };
    std::atomic<int> displayHeight_ { -1 };

    // Run state shared with the worker, which checks it once per pass.
    mutable std::mutex runMutex_;
    std::condition_variable runChanged_;
    std::atomic<bool> running_ { false };
    std::atomic<bool> freshStart_ { false }; // the worker starts its grain sequence afresh
    bool workerAlive_ = false;
    std::thread worker_;
    int workersStarted_ = 0;
    static std::atomic<int> runningCount_;

    // Worker only, except that Start sizes the work frames before the worker exists.
    GrainRandom grainRandom_;

    // Two work frames: the worker fills one while the presenter composes the other.
    struct HandedOver {
        int frame = 0;
        Clock::time_point captured;
    };
    std::mutex presentMutex_;
    std::condition_variable presentChanged_;
    cv::Mat workFrames_[2];
    int nextWorkFrame_ = 0;                // worker only
    std::optional<HandedOver> handedOver_; // waiting for the presenter
    int presenting_ = -1;                  // the work frame the presenter composes
    bool presenterStop_ = false;

    // Presenter only.
    QImage picture_; // the composed picture at picture resolution
    cv::Mat recordBgr_; // picture_ in BGR, for the recorders (they copy what they keep)
    DisplayBuffers displayBuffers_;
};
