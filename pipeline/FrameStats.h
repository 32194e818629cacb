#pragma once

#include <chrono>
#include <mutex>
#include <vector>

// Pictures handed out and how old their frames were by then, collected by the frame loop and
// read once in a while (the --stats line, benchmarks). Any thread.
class FrameStats {
public:
    using Clock = std::chrono::steady_clock;

    struct Report {
        int pictures = 0;
        double seconds = 0;         // since the last report (or the first picture)
        double perSecond = 0;
        double medianLatencyMs = 0; // capture to hand-out
        double p99LatencyMs = 0;
        double worstLatencyMs = 0;
        double longestGapMs = 0;    // between two pictures
    };

    void Picture(Clock::time_point captured, Clock::time_point handedOut);
    // The figures since the last call, which starts the next period at now.
    Report Take(Clock::time_point now = Clock::now());

private:
    std::mutex mutex_;
    std::vector<double> latencies_;
    double longestGap_ = 0;
    Clock::time_point last_ {};
    Clock::time_point periodStart_ {};
};
