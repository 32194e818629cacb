#pragma once

#include "pipeline/FrameSource.h"
#include "pipeline/GrainRandom.h"
#include "pipeline/PictureSettings.h"
#include "pipeline/Present.h"

#include <QImage>
#include <QSize>
#include <opencv2/core.hpp>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class PictureModel;

// The camera and the worker thread that turns its frames into pictures, one pass per frame:
// take a frame (magnifying the zoom region), run the stages, lay the decorations over it, save a
// requested photo, and hand the picture at display size to whoever shows it. No widget: the
// picture leaves through a callback.
//
// Threads: Start, Stop and the setters are called on the interface thread; everything private
// below "worker only" is touched by the worker alone; the run state is shared under runMutex_.
class FrameLoop {
public:
    // Called on the worker with each finished picture (display size). It must not wait for the
    // interface thread.
    using PictureReady = std::function<void(QImage)>;
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

    // Number of workers started so far (only one ever runs at a time), and whether one runs.
    int workersStarted() const { return workersStarted_; }
    bool workerAlive() const;

private:
    void Run(std::unique_ptr<FrameSource> source);
    void TakeIntoWorkFrame(const cv::Mat& raw, const PictureSettings& snapshot);
    void ComposeAndHandOut(const cv::Mat& frame);

    PictureModel& model_;
    FrameSourceFactory sources_;
    PictureReady onPicture_;
    SourceLost onLost_;
    std::atomic<std::chrono::milliseconds> lostAfter_ { kLostAfter };

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

    // Worker only, except that Start sizes the work frame before the worker exists.
    cv::Mat workFrame_;
    QImage picture_; // the composed picture at picture resolution
    DisplayBuffers displayBuffers_;
    GrainRandom grainRandom_;
};
