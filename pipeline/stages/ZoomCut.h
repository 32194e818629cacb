#pragma once

#include <opencv2/core.hpp>

#include <optional>

// The first step of each pass: fills work (kept at its size, or raw's size when work is empty)
// from the raw camera frame. With a zoom region, that region of raw (clipped to it) is scaled up
// bilinearly; without one, or when the region misses the frame, raw is copied, or scaled when
// the camera delivers another size than the picture's.
void TakeWorkFrame(const cv::Mat& raw, cv::Mat& work, const std::optional<cv::Rect>& zoomRect);
