#pragma once

#include "pipeline/stages/WideKernels.h"

#include <cstdint>

// A row of n BGR pixels mirrored into another row (out[x] = in[n − 1 − x]), a vector of pixels at
// a time from the start of the output row. Returns how many output pixels it wrote (a whole
// number of vectors); the rest are left for the caller. The rows must not overlap.
// Built for AVX2 only: SSE2 has no byte shuffle, and there OpenCV's own flip is the faster.
#if PARVEL_WIDE_KERNELS
namespace kernels_wide {
int MirrorRowVectors(const std::uint8_t* in, std::uint8_t* out, int n);
}
#endif
