#pragma once

#include "pipeline/capture/FrameSource.h"
#include "pipeline/FrameStats.h"
#include "pipeline/stages/FunEffect.h"
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
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

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
// The threads of the picture path: what each owns, and how it hands over. None of them ever waits
// for the interface thread; everything reaches the widgets through queued calls.
//
// interface  Owns worker_: only it starts or joins a worker (Start, StopAndJoin). Sets and clears
//            running_ under runMutex_ and wakes the worker on runChanged_; Stop never waits. Start
//            waits only for a worker that has seen the stop (it is releasing the camera). Posts
//            changes into the model, each under the member's own lock: settings, flow inbox,
//            doodle, overlays (decorationsLock_), photo request (atomics), burst arming (ShotTap),
//            recorder Start/Stop (which join the video writer). Polls Stalled().
// worker     One per run (Run). Owns the source (reads it itself unless it paces itself), the
//            grain sequence, the flow images and points, nextWorkFrame_. Reads running_ once per
//            pass under runMutex_; the pass that finds it clear sets workerLeaving_ in that lock.
//            Copies the settings (their mutex), offers pictures to the face tracker (try-lock,
//            copy) and reads its tracks, moves face-bound add-ons (decorationsLock_), starts
//            corner detections. Fills the work frame the presenter is not using and hands it over
//            in handedOver_ (presentMutex_ / presentChanged_). Calls onLost_ and reports an
//            expired photo request (queued calls). On leaving: joins the presenter, stops the
//            grabber, releases the source, then clears workerAlive_ (runMutex_).
// presenter  One per worker, started and joined by it (Present). Owns picture_, recordBgr_ and
//            displayBuffers_. Takes handedOver_ (presentMutex_), lays the overlays on
//            (decorationsLock_), stamps lastPicture_ (atomic) and passes the display picture to
//            onPicture_ (the picture session keeps the newest under its mutex and posts one queued
//            call).
//            Queues a requested photo (PhotoCapture queueLock_), serves an armed burst shot
//            (ShotTap lock, queued call), offers copies to the recorders (never blocks).
// grabber    One per worker whose source paces itself (FrameGrabber). Owns the reads; keeps the
//            newest frame under its mutex_, publishes its number (atomic) and wakes the worker
//            (runMutex_ taken and released, runChanged_). Joined by the worker before release.
// photo      One per PhotoCapture, started with the first queued photo, joined with the model.
// writer     Takes queue_ (queueLock_ / queueChanged_), writes and renames the JPEG, reports
//            through onSaved_ (queued call). StopAndJoin waits for the queue to empty.
// corners    One per corner detection (FlowState::detector_; overtaken ones wait in overtaken_
//            and are joined with the model). Owns a copy of the grey frame; hands the points back
//            in a shared Detection (its mutex and condition), taken by a later worker pass.
// faces      One per FaceTracker, started with the first offered picture, joined with the
//            model. Takes the waiting picture (slotMutex_ / slotChanged_), detects
//            (detectorMutex_), folds the result into the tracks (tracksMutex_).
// video      One per recording (VideoRecorder::WriterLoop), started and joined by the interface
// writer     thread. Takes copies from a bounded queue (queueLock_ / wake_; a full queue drops),
//            owns the sink and the file, reports through onEnded_ (queued call).
// GIF        One per GifRecorder, joined with the model. Takes a finished set of pictures
// encoder    (lock_ / wake_), encodes and writes the file, reports through onSaved_ (queued call).
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
    // What the camera of the last start agreed to (format, size, rate); nothing for a source that
    // is not a camera. Interface thread.
    const std::optional<CameraAgreement>& agreement() const { return agreement_; }
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
    // Worker: the work frame that the presenter is done with, and the hand-over of a processed one.
    cv::Mat& FreeWorkFrame();
    void HandOver(Clock::time_point captured, const StageTimes& times);
    // Presenter thread.
    void Present();
    void ComposeAndHandOut(const cv::Mat& frame, const cv::Mat& grid, const std::vector<std::uint64_t>& beneath,
        Clock::time_point captured, StageTimes times);
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
    std::optional<CameraAgreement> agreement_; // interface thread
    static std::atomic<int> runningCount_;

    // Worker only, except that Start sizes the work frames before the worker exists.
    GrainRandom grainRandom_;
    FunEffectState funState_;
    std::int64_t funFrameNumber_ = 0;

    // Two work frames: the worker fills one while the presenter composes the other.
    struct HandedOver {
        int frame = 0;
        Clock::time_point captured;
        StageTimes times {}; // the worker's stages so far
    };
    std::mutex presentMutex_;
    std::condition_variable presentChanged_;
    cv::Mat workFrames_[2];
    cv::Mat gridFrames_[2]; // the preview grid of each work frame while it is shown, else empty
    // The face stickers each work frame already has in it (a fun effect moved them with the face),
    // which the presenter leaves out of the overlays; as the work frames, worker then presenter.
    std::vector<std::uint64_t> stickersBeneath_[2];
    int nextWorkFrame_ = 0;                // worker only
    std::optional<HandedOver> handedOver_; // waiting for the presenter
    int presenting_ = -1;                  // the work frame the presenter composes
    bool presenterStop_ = false;

    // Presenter only.
    QImage picture_; // the composed picture at picture resolution
    cv::Mat recordBgr_; // picture_ in BGR, for the recorders (they copy what they keep)
    DisplayBuffers displayBuffers_;
};
