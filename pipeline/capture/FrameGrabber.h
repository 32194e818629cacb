#pragma once

#include "pipeline/capture/FrameSource.h"

#include <opencv2/core.hpp>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

// Reads a source that waits for its own frames (a camera) on a thread of its own and keeps only
// the newest frame. A camera's driver queues frames that are not read at once; read one by one
// after the work of each pass, every picture would be older than the last, up to the depth of
// that queue. Here the queue is drained as fast as it fills and the loop takes whatever is newest.
class FrameGrabber {
public:
    using Clock = std::chrono::steady_clock;

    struct Frame {
        cv::Mat image;
        Clock::time_point captured;
        std::uint64_t number = 0; // 1 for the first frame, counting every frame read
    };

    // onArrival is called on the grabbing thread after each new frame is stored (to wake the
    // loop); it must not call back into the grabber.
    FrameGrabber(FrameSource& source, std::function<void()> onArrival = {});
    ~FrameGrabber();
    FrameGrabber(const FrameGrabber&) = delete;
    FrameGrabber& operator=(const FrameGrabber&) = delete;

    // Ends the grabbing thread once its current read returns; the source is not released.
    void Stop();

    // Number of the newest frame stored so far (0: none yet).
    std::uint64_t newest() const { return newest_.load(); }
    // The newest frame if it is newer than frame number `after`; false otherwise. The image is
    // the grabber's own: it is not written again (each read fills a new one).
    bool TakeNewer(std::uint64_t after, Frame& out) const;
    // Waits up to `until` for a frame newer than `after`; whether one came.
    bool WaitForNewer(std::uint64_t after, Clock::time_point until) const;
    // When the last frame arrived (the start, before the first).
    Clock::time_point lastArrival() const;

private:
    void Grab();

    FrameSource& source_;
    std::function<void()> onArrival_;
    mutable std::mutex mutex_;
    mutable std::condition_variable arrived_;
    Frame newestFrame_;
    Clock::time_point lastArrival_;
    std::atomic<std::uint64_t> newest_ { 0 };
    std::atomic<bool> stop_ { false };
    std::thread thread_;
};
