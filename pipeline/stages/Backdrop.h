#pragma once

#include <opencv2/core.hpp>

#include <optional>

// Puts the person (alpha 255) over another picture. bgr: CV_8UC3, changed in place. alpha:
// CV_8UC1 of bgr's size (another size or type leaves the picture as it is). backdrop: 8-bit
// BGR, BGRA (its own transparency is ignored) or grey, meant to be at the picture's size;
// another size is scaled to it. An empty backdrop leaves the picture as it is.
//
// spillKey: the colour of a cloth behind the person. Its cast on the person (a green rim from a
// green screen) is taken off: the key's strongest channel is held to no more than the larger of
// the other two on the person's pixels.
void Composite(cv::Mat& bgr, const cv::Mat& alpha, const cv::Mat& backdrop,
    const std::optional<cv::Scalar>& spillKey = std::nullopt);

// Blurs the room behind the person. strength: 0 … 100 (clamped; 0 leaves the picture as it is),
// at 100 a Gaussian of a 25th of the picture's height. Only the room is blurred: the person's
// colours do not bleed into it.
void BlurBackground(cv::Mat& bgr, const cv::Mat& alpha, int strength);
