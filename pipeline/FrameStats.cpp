#include "pipeline/FrameStats.h"

#include <algorithm>

namespace {
double Ms(FrameStats::Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double>& values)
{
    if (values.empty())
        return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    return *middle;
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

void FrameStats::Stages(const StageTimes& times)
{
    std::scoped_lock lock(mutex_);
    stages_.push_back(times);
}

FrameStats::Report FrameStats::Take(Clock::time_point now)
{
    std::vector<double> latencies;
    std::vector<StageTimes> stages;
    Report report;
    {
        std::scoped_lock lock(mutex_);
        latencies.swap(latencies_);
        stages.swap(stages_);
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
    std::vector<double> values(stages.size());
    for (int stage = 0; stage < kStageCount; ++stage) {
        for (std::size_t i = 0; i < stages.size(); ++i)
            values[i] = stages[i][stage];
        report.stageMedianMs[stage] = Median(values);
    }
    for (std::size_t i = 0; i < stages.size(); ++i) {
        values[i] = 0;
        for (int stage = 0; stage <= static_cast<int>(Stage::Doodle); ++stage)
            values[i] += stages[i][stage];
    }
    report.workerMedianMs = Median(values);
    return report;
}
