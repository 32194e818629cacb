#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

// A flag that threads can wait on; stays set until reset (like a Win32 manual-reset event).
class ManualResetEvent {
public:
    explicit ManualResetEvent(bool initiallySet) : set_(initiallySet) {}

    void Set()
    {
        {
            std::scoped_lock lock(mutex_);
            set_ = true;
        }
        cv_.notify_all();
    }
    void Reset()
    {
        std::scoped_lock lock(mutex_);
        set_ = false;
    }
    bool IsSet() const
    {
        std::scoped_lock lock(mutex_);
        return set_;
    }
    void Wait()
    {
        std::unique_lock lock(mutex_);
        cv_.wait(lock, [this] { return set_; });
    }
    // True when the event was set within the timeout.
    bool WaitFor(std::chrono::milliseconds timeout)
    {
        std::unique_lock lock(mutex_);
        return cv_.wait_for(lock, timeout, [this] { return set_; });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable cv_;
    bool set_;
};
