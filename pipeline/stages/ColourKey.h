#pragma once

#include <opencv2/core.hpp>

// Tells the person from a coloured cloth behind them (a green or blue screen, or any strongly
// coloured backdrop): a pixel is the cloth when its colour points the key's way, whatever its
// brightness, so folds and shade in the cloth are keyed too.
//
// keyBgr: the cloth's colour. tolerance: 0 … 100 (clamped), how far in hue and how pale a colour
// may be and still count as the cloth; 50 suits an evenly lit cloth. alpha: CV_8UC1 at bgr's
// size, 255 = person, 0 = cloth, between at mixed edges. A key without colour (grey, white,
// black) cannot be told from a person's greys: then everything is person.
void ColourKeyAlpha(const cv::Mat& bgr, const cv::Scalar& keyBgr, int tolerance, cv::Mat& alpha);

// The key's colour direction has this much chroma at least (on the 0 … 255 scale of Cb and Cr
// offsets), or nothing is keyed.
inline constexpr double kLeastKeyChroma = 12.0;
