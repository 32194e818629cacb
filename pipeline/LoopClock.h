#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>

// The frame loop's sense of time: what time it is and how it waits for a deadline. The steady
// clock by default; tests put in one of their own to check the pacing without waiting.
class LoopClock {
public:
    using Clock = std::chrono::steady_clock;

    virtual ~LoopClock() = default;
    virtual Clock::time_point Now() const { return Clock::now(); }
    // Waits on changed (lock held) until done() or the deadline, whichever comes first.
    virtual void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& changed,
        Clock::time_point deadline, const std::function<bool()>& done)
    {
        changed.wait_until(lock, deadline, done);
    }
};
