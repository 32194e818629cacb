#pragma once

#include "pipeline/stages/Flip.h"

#include <opencv2/core.hpp>

#include <optional>

// The first step of each pass: fills work (kept at its size, or raw's size when work is empty)
// from the raw camera frame. With a zoom region, that region of raw (clipped to it) is scaled up
// bilinearly; without one, or when the region misses the frame, raw is copied, or scaled when
// the camera delivers another size than the picture's. The picture is then turned by flipMode
// (a FlipMode); a plain copy is turned on the way, in one pass.
void TakeWorkFrame(const cv::Mat& raw, cv::Mat& work, const std::optional<cv::Rect>& zoomRect, int flipMode = kFlipNone);
