#include "pipeline/FrameStats.h"

#include <algorithm>

namespace {
double Ms(FrameStats::Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}
} // namespace

void FrameStats::Picture(Clock::time_point captured, Clock::time_point handedOut)
{
    std::scoped_lock lock(mutex_);
    if (periodStart_ == Clock::time_point {})
        periodStart_ = handedOut;
    latencies_.push_back(Ms(handedOut - captured));
    if (last_ != Clock::time_point {})
        longestGap_ = std::max(longestGap_, Ms(handedOut - last_));
    last_ = handedOut;
}

FrameStats::Report FrameStats::Take(Clock::time_point now)
{
    std::vector<double> latencies;
    Report report;
    {
        std::scoped_lock lock(mutex_);
        latencies.swap(latencies_);
        report.longestGapMs = longestGap_;
        if (periodStart_ != Clock::time_point {})
            report.seconds = Ms(now - periodStart_) / 1000.0;
        longestGap_ = 0;
        periodStart_ = now;
    }
    report.pictures = static_cast<int>(latencies.size());
    if (report.seconds > 0)
        report.perSecond = report.pictures / report.seconds;
    if (!latencies.empty()) {
        std::sort(latencies.begin(), latencies.end());
        report.medianLatencyMs = latencies[latencies.size() / 2];
        report.p99LatencyMs = latencies[std::min(latencies.size() - 1, latencies.size() * 99 / 100)];
        report.worstLatencyMs = latencies.back();
    }
    return report;
}
