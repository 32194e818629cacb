#pragma once

#include "pipeline/capture/FrameSource.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// A frame source driven by the test: what it opens, what it delivers, and what was asked of it.
struct ScriptedSourceState {
    std::atomic<bool> openSucceeds { true };
    std::atomic<int> opens { 0 };
    std::atomic<int> releases { 0 };
    std::atomic<int> reads { 0 };
    std::atomic<int> liveSources { 0 }; // opened and not yet released
    std::atomic<int> maxLiveSources { 0 };
    // The size the source reports (a camera may report 0 × 0).
    std::atomic<int> reportedWidth { 640 };
    std::atomic<int> reportedHeight { 480 };
    // Behaves as a camera: the loop reads it on a grabber thread.
    std::atomic<bool> pacesItself { false };
    // Like a camera device, which can be opened once: an open while another source of this state
    // is live fails (and is counted).
    std::atomic<bool> exclusive { false };
    std::atomic<int> refusedOpens { 0 };
    std::atomic<int> askedToLeave { 0 };
    // Reports, as a camera does, that it agreed to the reported size at 30 a second; the size the
    // loop asked for is kept.
    std::atomic<bool> agrees { false };
    std::atomic<int> askedWidth { 0 };
    std::atomic<int> askedHeight { 0 };
    // How long release number n takes (a driver letting go of the device); the source stays live
    // until it returns. Set before the sources are used.
    std::function<std::chrono::microseconds(int n)> releaseTakes;
    std::mutex mutex;
    // Returns the frame for read number n; an empty Mat is a null frame.
    std::function<cv::Mat(int n)> frameFor;
};

class ScriptedSource : public FrameSource {
public:
    explicit ScriptedSource(std::shared_ptr<ScriptedSourceState> state) : state_(std::move(state)) {}
    ~ScriptedSource() override
    {
        if (open_)
            Release();
    }

    bool Open() override
    {
        ++state_->opens;
        if (!state_->openSucceeds)
            return false;
        int live = 0;
        if (state_->exclusive) {
            int none = 0;
            if (!state_->liveSources.compare_exchange_strong(none, 1)) {
                ++state_->refusedOpens;
                return false;
            }
            live = 1;
        } else {
            live = ++state_->liveSources;
        }
        open_ = true;
        int seen = state_->maxLiveSources;
        while (live > seen && !state_->maxLiveSources.compare_exchange_weak(seen, live)) {
        }
        return true;
    }
    bool Read(cv::Mat& frame) override
    {
        const int n = state_->reads++;
        std::scoped_lock lock(state_->mutex);
        frame = state_->frameFor ? state_->frameFor(n) : cv::Mat(480, 640, CV_8UC3, cv::Scalar(10, 20, 30));
        return !frame.empty();
    }
    cv::Size FrameSize() const override { return { state_->reportedWidth, state_->reportedHeight }; }
    bool PacesItself() const override { return state_->pacesItself; }
    void AskToLeaveThePicture() override { ++state_->askedToLeave; }
    void AskForSize(cv::Size size) override
    {
        state_->askedWidth = size.width;
        state_->askedHeight = size.height;
    }
    std::optional<CameraAgreement> Agreement() const override
    {
        if (!state_->agrees)
            return std::nullopt;
        CameraAgreement agreed;
        agreed.fourcc = kFourCcMjpeg;
        agreed.size = FrameSize();
        agreed.rate = 30;
        agreed.asked = { state_->askedWidth, state_->askedHeight };
        return agreed;
    }
    void Release() override
    {
        if (open_) {
            if (state_->releaseTakes)
                std::this_thread::sleep_for(state_->releaseTakes(state_->releases));
            open_ = false;
            --state_->liveSources;
        }
        ++state_->releases;
    }

private:
    std::shared_ptr<ScriptedSourceState> state_;
    bool open_ = false;
};

inline FrameSourceFactory ScriptedFactory(const std::shared_ptr<ScriptedSourceState>& state)
{
    return [state] { return std::make_unique<ScriptedSource>(state); };
}
