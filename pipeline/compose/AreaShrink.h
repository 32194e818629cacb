#pragma once

#include <opencv2/core.hpp>

// Shrinks an 8-bit four-channel picture by area averaging with the very bytes of
// cv::resize(INTER_AREA) where that takes its general path (a factor that is not a whole number
// on both axes), in a fraction of its time: each picture row is spread across once instead of
// once for every display row it touches, and a pixel's four samples go through one vector.
// The sums are formed in the same float operations in the same order. False, with nothing
// written, for a size it does not cover (growing, or whole-number factors, which OpenCV does
// fast itself); target must already have its size and type.
bool ShrinkByAreaExact(const cv::Mat& source, cv::Mat& target);
