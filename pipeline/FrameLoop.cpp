#include "pipeline/FrameLoop.h"

#include "pipeline/DisplayConversion.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/PictureModel.h"
#include "pipeline/ProcessFrame.h"
#include "pipeline/ZoomCut.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <chrono>

std::atomic<int> FrameLoop::runningCount_ { 0 };

namespace {
// One pass per period: about 30 pictures a second.
constexpr auto kPassPeriod = std::chrono::milliseconds(33);
}

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

FrameLoop::StartResult FrameLoop::Start()
{
    if (running_)
        return StartResult::Started;
    std::unique_ptr<FrameSource> source;
    bool noCamera = false;
    {
        std::scoped_lock lock(runMutex_);
        if (!workerAlive_) {
            source = sources_ ? sources_() : nullptr;
            noCamera = !source || !source->Open();
        }
        // Otherwise the previous worker has not yet seen the stop: it keeps its camera and goes on.
        if (!noCamera)
            running_ = true;
    }
    if (noCamera) {
        if (source)
            source->Release();
        return StartResult::NoCamera;
    }
    ++runningCount_;
    freshStart_ = true;
    const cv::Size size(std::max(pictureWidth_.load(), 1), std::max(pictureHeight_.load(), 1));
    if (source) {
        // A worker that saw the stop has left its loop: joining only collects it.
        if (worker_.joinable())
            worker_.join();
        workFrame_.create(size, CV_8UC3);
        workFrame_.setTo(cv::Scalar::all(0));
    }
    model_.doodle.Clear(size);
    if (source) {
        {
            std::scoped_lock lock(runMutex_);
            workerAlive_ = true;
        }
        ++workersStarted_;
        worker_ = std::thread(&FrameLoop::Run, this, std::move(source));
    }
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
}

void FrameLoop::Run(std::unique_ptr<FrameSource> source)
{
    using Clock = std::chrono::steady_clock;
    cv::Mat raw;
    Clock::time_point lastFrame = Clock::now();
    bool lostReported = false;
    Clock::time_point passDeadline = Clock::now();
    for (;;) {
        // Paced by deadline: the pass's own work counts towards its period, so a pass that fits
        // keeps the camera's rate instead of adding a full period after the work.
        passDeadline = std::max(passDeadline + kPassPeriod, Clock::now());
        {
            std::scoped_lock lock(runMutex_);
            if (!running_) {
                // Released before the worker counts as gone, so a new start can open the camera.
                source->Release();
                workerAlive_ = false;
                return;
            }
        }
        if (freshStart_.exchange(false)) {
            // Each start of the camera begins the same grain sequence and a fresh wait for frames.
            grainRandom_ = GrainRandom();
            lastFrame = Clock::now();
            lostReported = false;
        }
        if (paused) {
            lastFrame = Clock::now(); // a picture held still is not a camera gone
        } else if (source->Read(raw) && !raw.empty()) {
            lastFrame = Clock::now();
            const PictureSettings snapshot = model_.settings.Snapshot();
            TakeIntoWorkFrame(raw, snapshot);
            ProcessFrame(workFrame_, snapshot, model_.flow, model_.doodle, grainRandom_);
            ComposeAndHandOut(workFrame_);
        } else {
            model_.photos.ExpireRequest(kPhotoWait);
            if (!lostReported && Clock::now() - lastFrame >= lostAfter_.load()) {
                lostReported = true;
                if (onLost_)
                    onLost_();
            }
        }
        std::unique_lock lock(runMutex_);
        runChanged_.wait_until(lock, passDeadline, [this] { return !running_; });
    }
}

void FrameLoop::TakeIntoWorkFrame(const cv::Mat& raw, const PictureSettings& snapshot)
{
    cv::Mat bgr = raw;
    if (raw.type() != CV_8UC3) {
        // Some sources deliver grey or 4-channel frames; the stages work on BGR.
        if (raw.channels() == 1)
            cv::cvtColor(raw, bgr, cv::COLOR_GRAY2BGR);
        else if (raw.channels() == 4)
            cv::cvtColor(raw, bgr, cv::COLOR_BGRA2BGR);
        else
            return;
    }
    TakeWorkFrame(bgr, workFrame_, ZoomInForce(snapshot));
}

void FrameLoop::ComposeAndHandOut(const cv::Mat& frame)
{
    FillPictureFromFrame(frame, picture_);
    model_.overlays.DrawOverlays(picture_);
    if (onPicture_)
        onPicture_(displayBuffers_.Stretch(picture_, QSize(displayWidth_, displayHeight_)));
    // The photo is the unscaled composed picture.
    model_.photos.SavePhotoIfRequested(picture_);
}
