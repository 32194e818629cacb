#pragma once

#include "pipeline/stages/WideKernels.h"

#include <cstdint>

// The grain's per-pixel step over the start of a row, a vector of pixels at a time: each pixel to
// YCrCb, the luma curve of its noise level (0 … 20), the chroma halved toward 128, and back, with
// cv::cvtColor's fixed-point arithmetic. Returns how many pixels it did (a whole number of
// vectors); the rest of the row is left for the caller.
PARVEL_DECLARE_KERNEL(int GrainRowVectors(std::uint8_t* bgr, const std::uint8_t* level, int cols))
