#pragma once

#include "pipeline/stages/StageTimes.h"

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
        StageTimes stageMedianMs {}; // each stage's median over the frames of the period
        double workerMedianMs = 0;  // the worker's own stages (take … doodle) per frame, median
    };

    void Picture(Clock::time_point captured, Clock::time_point handedOut);
    // The stage times of one frame (zero for a stage that did not run).
    void Stages(const StageTimes& times);
    // The figures since the last call, which starts the next period at now.
    Report Take(Clock::time_point now = Clock::now());

private:
    std::mutex mutex_;
    std::vector<double> latencies_;
    std::vector<StageTimes> stages_;
    double longestGap_ = 0;
    Clock::time_point last_ {};
    Clock::time_point periodStart_ {};
};
