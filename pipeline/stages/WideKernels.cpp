#include "pipeline/stages/WideKernels.h"

#include <opencv2/core/utility.hpp>

#include <atomic>

namespace {

bool CpuHasWide()
{
    return PARVEL_WIDE_KERNELS && cv::checkHardwareSupport(CV_CPU_AVX2) && cv::checkHardwareSupport(CV_CPU_FMA3);
}

std::atomic<bool>& WideChoice()
{
    static std::atomic<bool> on { CpuHasWide() };
    return on;
}

} // namespace

bool WideKernelsOn()
{
    return WideChoice().load(std::memory_order_relaxed);
}

void SetWideKernels(bool on)
{
    WideChoice().store(on && CpuHasWide(), std::memory_order_relaxed);
}
