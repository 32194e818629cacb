#pragma once

#include "pipeline/stages/WideKernels.h"

#include <opencv2/core.hpp>

#include <cstdint>

// Frames for the stage tests.
inline cv::Mat RandomFrame(int width, int height, std::uint64_t seed, int type = CV_8UC3)
{
    cv::Mat m(height, width, type);
    cv::RNG rng(seed);
    rng.fill(m, cv::RNG::UNIFORM, 0, 256);
    return m;
}

inline bool SameBytes(const cv::Mat& a, const cv::Mat& b)
{
    return a.size() == b.size() && a.type() == b.type() && cv::norm(a, b, cv::NORM_INF) == 0;
}

// Runs check(wide) with the baseline vector kernels and then with the wide ones (the baseline again
// on CPUs without them), and leaves the CPU's own choice behind.
template <class Check>
void ForEachKernelBuild(Check check)
{
    for (bool wide : { false, true }) {
        SetWideKernels(wide);
        check(wide);
    }
    SetWideKernels(true);
}
