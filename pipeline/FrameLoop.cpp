#include "pipeline/FrameLoop.h"

#include "pipeline/compose/DisplayConversion.h"
#include "pipeline/capture/FrameGrabber.h"
#include "pipeline/record/BgrPicture.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/PictureModel.h"
#include "pipeline/faces/FaceForEffects.h"
#include "pipeline/stages/ProcessFrame.h"
#include "pipeline/stages/ZoomCut.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <chrono>

std::atomic<int> FrameLoop::runningCount_ { 0 };

FrameLoop::FrameLoop(PictureModel& model, FrameSourceFactory sources, PictureReady onPicture, SourceLost onLost)
    : model_(model)
    , sources_(std::move(sources))
    , onPicture_(std::move(onPicture))
    , onLost_(std::move(onLost))
{
}

FrameLoop::~FrameLoop()
{
    StopAndJoin();
}

void FrameLoop::SetPictureSize(int width, int height)
{
    pictureWidth_ = width;
    pictureHeight_ = height;
}

void FrameLoop::SetDisplaySize(int width, int height)
{
    displayWidth_ = width;
    displayHeight_ = height;
}

bool FrameLoop::workerAlive() const
{
    std::scoped_lock lock(runMutex_);
    return workerAlive_;
}

FrameLoop::Clock::time_point FrameLoop::lastPictureAt() const
{
    return Clock::time_point(Clock::duration(lastPicture_.load()));
}

bool FrameLoop::Stalled(Clock::time_point now) const
{
    return running_ && now - lastPictureAt() >= lostAfter_.load();
}

void FrameLoop::MarkPictureAlive()
{
    lastPicture_ = clock_->Now().time_since_epoch().count();
}

void FrameLoop::BeginRunLocked()
{
    freshStart_ = true;
    MarkPictureAlive(); // a start is not a stall; its first picture has lostAfter() to come
    running_ = true;
    ++runningCount_;
}

FrameLoop::StartResult FrameLoop::Start()
{
    if (running_)
        return StartResult::Started;
    cv::Size size(std::max(pictureWidth_.load(), 1), std::max(pictureHeight_.load(), 1));
    bool handedBack = false;
    {
        std::scoped_lock lock(runMutex_);
        if (workerAlive_ && !workerLeaving_) {
            // The worker decides to leave under this lock, so it has not yet seen the stop: it sees
            // the run flag set again on its next pass and goes on with its camera.
            BeginRunLocked();
            handedBack = true;
        }
    }
    if (handedBack) {
        stats_.Take(); // the figures count from this start
        model_.doodle.Clear(size);
        return StartResult::Started;
    }
    // Any worker has left or is leaving: it is releasing the camera, which can be opened only once,
    // so it is joined before the camera is opened again. It never waits for this thread.
    if (worker_.joinable())
        worker_.join();
    std::unique_ptr<FrameSource> source = sources_ ? sources_() : nullptr;
    agreement_.reset();
    if (source && pictureWidth_ > 0 && pictureHeight_ > 0)
        source->AskForSize(size);
    if (!source || !source->Open()) {
        if (source)
            source->Release();
        return StartResult::NoCamera;
    }
    // A camera's picture is never stretched to a size it did not agree to: the picture takes the
    // size the camera gives, and whoever shows it hears of it through agreement().
    agreement_ = source->Agreement();
    if (agreement_ && agreement_->size.width > 0 && agreement_->size.height > 0 && agreement_->size != size) {
        size = agreement_->size;
        SetPictureSize(size.width, size.height);
    }
    stats_.Take();
    for (cv::Mat& work : workFrames_) {
        work.create(size, CV_8UC3);
        work.setTo(cv::Scalar::all(0));
    }
    model_.doodle.Clear(size);
    {
        std::scoped_lock lock(runMutex_);
        workerAlive_ = true;
        workerLeaving_ = false;
        BeginRunLocked();
    }
    ++workersStarted_;
    worker_ = std::thread(&FrameLoop::Run, this, std::move(source));
    return StartResult::Started;
}

void FrameLoop::Stop()
{
    {
        std::scoped_lock lock(runMutex_);
        if (running_)
            --runningCount_;
        running_ = false;
    }
    runChanged_.notify_all();
}

void FrameLoop::StopAndJoin()
{
    Stop();
    if (worker_.joinable())
        worker_.join();
    // The last pictures may have queued photos; they are written before the model goes.
    model_.photos.FinishQueuedPhotos();
}

void FrameLoop::WakeWorker()
{
    // Taken and released so that a worker about to wait cannot miss the notification.
    { std::scoped_lock lock(runMutex_); }
    runChanged_.notify_all();
}

void FrameLoop::Run(std::unique_ptr<FrameSource> source)
{
    LoopClock& clock = *clock_;
    // The model's flow play detects corners on a thread of its own while the loop runs.
    model_.flow.SetBackgroundDetection(true);
    {
        std::scoped_lock lock(presentMutex_);
        presenterStop_ = false;
        handedOver_.reset();
        presenting_ = -1;
        nextWorkFrame_ = 0;
    }
    std::thread presenter(&FrameLoop::Present, this);
    // A camera is drained on its own thread; a file or a script is read when a pass wants a frame.
    std::unique_ptr<FrameGrabber> grabber;
    if (source->PacesItself())
        grabber = std::make_unique<FrameGrabber>(*source, [this] { WakeWorker(); });
    std::uint64_t lastTaken = 0;

    Clock::time_point lastFrame = clock.Now();
    bool lostReported = false;
    Clock::time_point passDeadline = clock.Now();
    for (;;) {
        // Paced by deadline: the pass's own work counts towards its period, so a pass that fits
        // keeps the camera's rate instead of adding a full period after the work.
        passDeadline = std::max(passDeadline + kPassPeriod, clock.Now());
        {
            std::scoped_lock lock(runMutex_);
            if (!running_) {
                workerLeaving_ = true; // from here on a start waits for this worker to end
                break;
            }
        }
        if (freshStart_.exchange(false)) {
            // Each start of the camera begins the same grain sequence and a fresh wait for frames.
            grainRandom_ = GrainRandom();
            lastFrame = clock.Now();
            lostReported = false;
        }
        if (model_.backdrop.TakeLeaveRequest())
            source->AskToLeaveThePicture();
        FrameGrabber::Frame frame;
        bool got = false;
        if (paused) {
            lastFrame = clock.Now(); // a picture held still is not a camera gone
            MarkPictureAlive();
        } else if (grabber) {
            got = grabber->TakeNewer(lastTaken, frame);
            if (got)
                lastTaken = frame.number;
        } else {
            got = source->Read(frame.image) && !frame.image.empty();
            frame.captured = source->LastCaptureTime().value_or(clock.Now());
        }
        const cv::Mat bgr = got ? AsBgr(frame.image) : cv::Mat();
        if (got)
            lastFrame = clock.Now();
        if (!bgr.empty()) {
            PictureSettings snapshot = model_.settings.Snapshot();
            cv::Mat& work = FreeWorkFrame();
            StageTimes times {};
            StageTimer timer(times);
            const std::optional<cv::Rect> zoom = ZoomInForce(snapshot);
            const bool previews = model_.funPreview.shown();
            // Faces are looked for on the frame as the camera gave it, upright whatever the flip.
            const cv::Size pictureSize = work.empty() ? bgr.size() : work.size();
            FunInput fun { &funState_, {}, funFrameNumber_++, {} };
            std::vector<std::uint64_t>& beneath = stickersBeneath_[nextWorkFrame_];
            beneath.clear();
            fun.beneathMovingEffect = [this, &beneath](cv::Mat& picture) {
                beneath = model_.overlays.DrawFaceStickersInto(picture);
            };
            fun.face = model_.FollowFaces(frame.image, FaceView(frame.image.size(), pictureSize, zoom, snapshot.flipMode),
                previews || FunEffectFollowsFace(snapshot.funEffect));
            timer.Mark(Stage::Faces);
            // The backdrop follows the picture's own time, so a video backdrop plays at its speed.
            const double seconds = std::chrono::duration<double>(frame.captured.time_since_epoch()).count();
            BackdropWork backdrop = model_.backdrop.Prepare(snapshot.backdrop, pictureSize, seconds);
            // Behind the preview grid the picture is not seen: the previews start from it without
            // the chosen effect, the middle one showing it as it is.
            if (previews)
                snapshot.funEffect = kFunNone;
            TakeAndProcessFrame(bgr, work, zoom, snapshot, model_.flow, model_.doodle, grainRandom_, &timer, &backdrop, fun);
            model_.backdrop.Finish(backdrop);
            if (const std::optional<cv::Scalar> picked = model_.backdrop.TakePicked())
                model_.settings.Change([&picked](PictureSettings& s) { UseClothColour(s, *picked); });
            cv::Mat& grid = gridFrames_[nextWorkFrame_];
            const cv::Size gridSize(displayWidth_, displayHeight_);
            if (!previews
                || !model_.funPreview.Render(work, gridSize.width > 0 ? gridSize : work.size(), fun.face,
                    fun.frameNumber, grid))
                grid.release();
            timer.Mark(Stage::Fun);
            HandOver(frame.captured, times);
        } else if (!got && !paused) {
            model_.photos.ExpireRequest(kPhotoWait);
            if (grabber)
                lastFrame = std::max(lastFrame, grabber->lastArrival());
            if (!lostReported && clock.Now() - lastFrame >= lostAfter_.load()) {
                lostReported = true;
                if (onLost_)
                    onLost_();
            }
        }
        std::unique_lock lock(runMutex_);
        clock.WaitUntil(lock, runChanged_, passDeadline, [this] { return !running_; });
        // Then for the camera's next frame, so the pass starts as soon as it is there; a pass
        // without one still comes once a period to look after a lost camera and waiting photos.
        if (grabber && !paused)
            clock.WaitUntil(lock, runChanged_, passDeadline + kPassPeriod,
                [&] { return !running_ || paused || grabber->newest() > lastTaken; });
    }
    // The presenter shows what it was handed, then ends; the camera is released before the
    // worker counts as gone. A start meanwhile joins this worker before it opens the camera, so
    // nothing here may wait for the interface thread, and queued photos are not waited for here
    // (StopAndJoin does that).
    {
        std::scoped_lock lock(presentMutex_);
        presenterStop_ = true;
    }
    presentChanged_.notify_all();
    presenter.join();
    grabber.reset();
    source->Release();
    std::scoped_lock lock(runMutex_);
    workerAlive_ = false;
}

cv::Mat& FrameLoop::FreeWorkFrame()
{
    std::unique_lock lock(presentMutex_);
    const int next = nextWorkFrame_;
    presentChanged_.wait(lock, [&] { return presenting_ != next && !(handedOver_ && handedOver_->frame == next); });
    return workFrames_[next];
}

void FrameLoop::HandOver(Clock::time_point captured, const StageTimes& times)
{
    std::unique_lock lock(presentMutex_);
    presentChanged_.wait(lock, [&] { return !handedOver_; });
    handedOver_ = HandedOver { nextWorkFrame_, captured, times };
    nextWorkFrame_ ^= 1;
    lock.unlock();
    presentChanged_.notify_all();
}

void FrameLoop::Present()
{
    for (;;) {
        HandedOver job;
        {
            std::unique_lock lock(presentMutex_);
            presentChanged_.wait(lock, [&] { return handedOver_ || presenterStop_; });
            if (!handedOver_)
                return;
            job = *handedOver_;
            handedOver_.reset();
            presenting_ = job.frame;
        }
        presentChanged_.notify_all();
        ComposeAndHandOut(workFrames_[job.frame], gridFrames_[job.frame], stickersBeneath_[job.frame], job.captured,
            job.times);
        {
            std::scoped_lock lock(presentMutex_);
            presenting_ = -1;
        }
        presentChanged_.notify_all();
    }
}

void FrameLoop::ComposeAndHandOut(const cv::Mat& frame, const cv::Mat& grid,
    const std::vector<std::uint64_t>& beneath, Clock::time_point captured, StageTimes times)
{
    StageTimer timer(times);
    FillPictureFromFrame(frame, picture_);
    timer.Mark(Stage::Picture);
    model_.overlays.DrawOverlays(picture_, beneath);
    timer.Mark(Stage::Decorations);
    MarkPictureAlive(); // before the hand-out, so whoever receives the picture sees its time
    // While the preview grid is up the screen shows it instead of the picture; photos and
    // recordings still take the picture.
    QImage shown = grid.empty()
        ? displayBuffers_.Stretch(picture_, QSize(displayWidth_, displayHeight_))
        : QImage(grid.data, grid.cols, grid.rows, static_cast<qsizetype>(grid.step), QImage::Format_BGR888)
              .convertToFormat(QImage::Format_RGB32);
    timer.Mark(Stage::Display);
    if (onPicture_)
        onPicture_(std::move(shown));
    stats_.Picture(captured, Clock::now());
    stats_.Stages(times);
    if (onTimed_)
        onTimed_(captured);
    // The photo is the unscaled composed picture; it is written on the photo thread.
    if (model_.photos.QueuePhotoIfRequested(picture_))
        model_.shots.Offer(picture_);
    model_.copies.Offer(picture_);
    // The recorders take the same picture in BGR, converted only while one of them wants it.
    if (model_.recordingWanted()) {
        const cv::Mat bgra(picture_.height(), picture_.width(), CV_8UC4, const_cast<uchar*>(picture_.constBits()),
            static_cast<size_t>(picture_.bytesPerLine()));
        cv::cvtColor(bgra, recordBgr_, cv::COLOR_BGRA2BGR);
        model_.video.Offer(recordBgr_, captured);
        model_.gif.Offer(recordBgr_, captured);
    }
}
