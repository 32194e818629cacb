#include "pipeline/stages/WideKernels.h"

#include <opencv2/core/utility.hpp>

#include <atomic>

namespace {

std::atomic<bool>& WideChoice()
{
    static std::atomic<bool> on { PARVEL_WIDE_KERNELS && cv::checkHardwareSupport(CV_CPU_AVX2) };
    return on;
}

} // namespace

bool WideKernelsOn()
{
    return WideChoice().load(std::memory_order_relaxed);
}

void SetWideKernels(bool on)
{
    WideChoice().store(on && PARVEL_WIDE_KERNELS && cv::checkHardwareSupport(CV_CPU_AVX2), std::memory_order_relaxed);
}
