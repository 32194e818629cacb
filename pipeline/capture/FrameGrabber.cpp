#include "pipeline/capture/FrameGrabber.h"

FrameGrabber::FrameGrabber(FrameSource& source, std::function<void()> onArrival)
    : source_(source)
    , onArrival_(std::move(onArrival))
    , lastArrival_(Clock::now())
{
    thread_ = std::thread(&FrameGrabber::Grab, this);
}

FrameGrabber::~FrameGrabber()
{
    Stop();
}

void FrameGrabber::Stop()
{
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

void FrameGrabber::Grab()
{
    std::uint64_t number = 0;
    while (!stop_) {
        cv::Mat image; // a new one each time: the frame handed out last is never written
        if (!source_.Read(image) || image.empty()) {
            // A camera gone gives nothing at once; do not spin on it.
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
            continue;
        }
        const Clock::time_point now = Clock::now();
        {
            std::scoped_lock lock(mutex_);
            newestFrame_.image = std::move(image);
            newestFrame_.captured = source_.LastCaptureTime().value_or(now);
            newestFrame_.number = ++number;
            lastArrival_ = now;
            newest_ = number;
        }
        arrived_.notify_all();
        if (onArrival_)
            onArrival_();
    }
}

bool FrameGrabber::TakeNewer(std::uint64_t after, Frame& out) const
{
    std::scoped_lock lock(mutex_);
    if (newestFrame_.number <= after)
        return false;
    out = newestFrame_;
    return true;
}

bool FrameGrabber::WaitForNewer(std::uint64_t after, Clock::time_point until) const
{
    std::unique_lock lock(mutex_);
    return arrived_.wait_until(lock, until, [&] { return newestFrame_.number > after; });
}

FrameGrabber::Clock::time_point FrameGrabber::lastArrival() const
{
    std::scoped_lock lock(mutex_);
    return lastArrival_;
}
