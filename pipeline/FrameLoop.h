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
// Start, Stop and the setters are called on the interface thread. A camera is read by a grabber
// thread that keeps only its newest frame; the worker processes frame N + 1 while a presenter
// thread composes and hands out frame N (two work frames in turn). Photos are written and corners
// detected on threads of their own, so no one-off holds up a picture.
//
// The threads of the picture path, what each owns and how it hands over:
//
// interface   Owns worker_ (Start, Stop, StopAndJoin; only this thread starts or joins it), the
//             widgets, the settings changes. Writes the run flag running_ under runMutex_ and
//             wakes the worker through runChanged_. Posts requests into the model, each under
//             the model member's own lock: settings (PictureSettingsStore mutex), flow inbox
//             (FlowState mutex_), doodle (DoodleLayer mutex), overlays (decorationsLock_), a
//             photo request (PhotoCapture atomics), burst arming (ShotTap lock_), recorder
//             start and stop (VideoRecorder startStop_/queueLock_, GifRecorder lock_). Receives
//             everything back only through queued calls (QMetaObject::invokeMethod); it never
//             waits on the worker while the camera runs. Start joins a worker that has decided
//             to leave (it is only releasing its camera) before it opens the camera again.
// worker      One per camera run (Run). Owns the source (reads it itself when it does not pace
//             itself), the grain sequence, the flow images and points, nextWorkFrame_. Checks
//             running_ once per pass under runMutex_; the pass that finds it clear marks
//             workerLeaving_ in the same lock, so Start knows whether to hand the run back or
//             to wait for this worker. Fills the work frame the presenter is not using and
//             hands it over through handedOver_ under presentMutex_ / presentChanged_. Offers
//             pictures to the face tracker (try-lock, copies) and starts corner detections.
//             Calls onLost_ and the photo-expiry report (both queued calls in the program).
//             On leaving it joins the presenter, stops the grabber, releases the source, and
//             only then clears workerAlive_ (runMutex_).
// presenter   One per worker, started and joined by it (Present). Owns picture_, recordBgr_,
//             displayBuffers_. Takes handedOver_ under presentMutex_, composes the overlays
//             (decorationsLock_), hands the picture to onPicture_ (the program posts it to the
//             interface thread under its own mutex), stamps lastPicture_ (atomic), queues a
//             requested photo (PhotoCapture queueLock_), serves an armed shot (ShotTap lock_)
//             and offers copies to the recorders (VideoRecorder queueLock_, GifRecorder lock_).
//             Shows what it was handed, then ends when the worker sets presenterStop_.
// grabber     One per worker when the source paces itself (FrameGrabber). Owns the reads of the
//             camera; stores the newest frame under its mutex_, publishes its number (atomic)
//             and wakes the worker (runMutex_ taken and released, runChanged_). Stopped and
//             joined by the worker before the source is released.
// photo       One per PhotoCapture, started with the first queued photo, ended with the model.
//             writer   Takes queue_ under queueLock_ / queueChanged_, encodes and renames the
//             JPEG, reports through onSaved_ (a queued call). StopAndJoin waits for the queue.
// corners     One per corner detection while the loop runs (FlowState::detector_, overtaken
//             ones kept in overtaken_ and joined with the model). Owns a copy of the grey frame;
//             hands the points back through a shared Detection (its mutex and condition).
// faces       One per FaceTracker, started with the first offered picture. Takes the waiting
//             picture under slotMutex_ / slotChanged_, detects under detectorMutex_, folds the
//             result into the tracks under tracksMutex_, which the worker reads.
// video       One per recording (VideoRecorder::WriterLoop), started and joined by Start/Stop on
//             writer   the interface thread. Takes copies from a bounded queue under queueLock_ /
//             wake_ (a full queue drops, never blocks the presenter), owns the sink and the
//             file, reports through onEnded_ (a queued call).
// GIF encoder One per GifRecorder. Takes a finished job under lock_ / wake_, encodes and writes
//             the file, reports through onSaved_ (a queued call).
//
// No thread of the picture path ever waits on the interface thread.
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

    using Clock = std::chrono::steady_clock;

    enum class StartResult { Started, NoCamera };
    // Opens the source and starts the worker. A start that finds the previous worker still
    // alive and not yet past the stop hands the run back to it; a worker that has seen the stop
    // is joined first (it is releasing the camera, which can be opened only once).
    StartResult Start();
    // Clears the run flag; the worker notices within one pass, releases the source and ends.
    // Never waits for the worker.
    void Stop();
    // Stops and waits for the worker to end and the queued photos to be written (window
    // destruction).
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
    std::chrono::milliseconds lostAfter() const { return lostAfter_.load(); }

    // Loop-clock time of the last sign of life of the picture: the last picture handed out, the
    // last start, or the last pass while paused, whichever came last. Any thread.
    Clock::time_point lastPictureAt() const;
    // Whether the loop counts as running yet its picture has shown no sign of life for
    // lostAfter() by `now` (loop clock): to be treated like a lost camera. Never while stopped.
    // Any thread.
    bool Stalled(Clock::time_point now) const;
    bool Stalled() const { return Stalled(clock_->Now()); }

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
    void Run(std::unique_ptr<FrameSource> source);
    void TakeIntoWorkFrame(const cv::Mat& raw, cv::Mat& workFrame, const PictureSettings& snapshot);
    // Worker: the work frame that the presenter is done with, and the hand-over of a processed one.
    cv::Mat& FreeWorkFrame();
    void HandOver(Clock::time_point captured);
    // Presenter thread.
    void Present();
    void ComposeAndHandOut(const cv::Mat& frame, Clock::time_point captured);
    void WakeWorker();
    // runMutex_ held: the run flag set, with what a start begins afresh.
    void BeginRunLocked();
    void MarkPictureAlive();

    PictureModel& model_;
    FrameSourceFactory sources_;
    PictureReady onPicture_;
    SourceLost onLost_;
    PictureTimed onTimed_;
    std::atomic<std::chrono::milliseconds> lostAfter_ { kLostAfter };
    std::shared_ptr<LoopClock> clock_ = std::make_shared<LoopClock>();
    FrameStats stats_;
    std::atomic<Clock::rep> lastPicture_ { 0 }; // lastPictureAt(), loop clock ticks

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
    bool workerLeaving_ = false; // the worker has seen the stop; a start must join it
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
