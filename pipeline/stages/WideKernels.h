#pragma once

// Vector kernels built twice on x86-64 with GCC or Clang: once for the baseline instruction set
// (SSE2), in namespace kernels_baseline, and once for AVX2 and FMA, with twice the lanes, in
// namespace kernels_wide (PARVEL_WIDE_KERNELS is then 1). The wide ones are chosen at run time on
// CPUs that have both. Both give the same bytes: a kernel's arithmetic does not depend on its lane
// count, and a fused multiply-add is used only where the baseline looks up its fused result.
// A kernel file holds only vector code on raw rows (no OpenCV classes, no shared inline helpers),
// so that nothing built for AVX2 can be picked by the linker for baseline code.

#ifndef PARVEL_WIDE_KERNELS
#define PARVEL_WIDE_KERNELS 0
#endif

// Declares a kernel in both namespaces.
#if PARVEL_WIDE_KERNELS
#define PARVEL_DECLARE_KERNEL(...)                                                                 \
    namespace kernels_baseline { __VA_ARGS__; }                                                    \
    namespace kernels_wide { __VA_ARGS__; }
#else
#define PARVEL_DECLARE_KERNEL(...)                                                                 \
    namespace kernels_baseline { __VA_ARGS__; }
#endif

// Whether the wide kernels run: true on CPUs with AVX2 and FMA when they are built, unless turned off
// (tests and benchmarks compare both).
bool WideKernelsOn();
void SetWideKernels(bool on);

// The chosen build of a kernel, as a function pointer.
#if PARVEL_WIDE_KERNELS
#define PARVEL_KERNEL(name) (WideKernelsOn() ? &kernels_wide::name : &kernels_baseline::name)
#else
#define PARVEL_KERNEL(name) (&kernels_baseline::name)
#endif

// In a kernel file: the namespace its kernels go in for the build being compiled.
#ifndef PARVEL_KERNEL_NAMESPACE
#define PARVEL_KERNEL_NAMESPACE kernels_baseline
#endif
