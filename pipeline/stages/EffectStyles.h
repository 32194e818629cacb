#pragma once

#include "pipeline/stages/GrainRandom.h"

#include <opencv2/core.hpp>

#include <array>
#include <cstdint>
#include <optional>

enum EffectStyle : int {
    kEffectNone = 0,
    kEffectBlackWhite = 1,
    kEffectNegative = 2,
    kEffectSketch = 3,
    kEffectFineOutline = 4,
    kEffectErode = 5,
    kEffectGrain = 6,
};

// Every style changes a BGR frame (CV_8UC3) in place. Each takes an optional region in frame pixels
// and then acts inside it only (clipped to the frame; a region that misses the frame changes
// nothing); the rest of the picture keeps its bytes.

void ApplyBlackWhite(cv::Mat& frame, const std::optional<cv::Rect>& region = std::nullopt);
void ApplyNegative(cv::Mat& frame, const std::optional<cv::Rect>& region = std::nullopt);
// Black strokes on white: Gaussian adaptive threshold of the grey picture (block 31, constant 5).
// A region gets the strokes the whole sketch has there (its neighbours beside it count).
void ApplySketch(cv::Mat& frame, const std::optional<cv::Rect>& region = std::nullopt);
// Per-sample Sobel strength |gx| + |gy| (at most 255); the picture's one-pixel border keeps its
// values. A region gets the outline the whole picture has there.
void ApplyFineOutline(cv::Mat& frame, const std::optional<cv::Rect>& region = std::nullopt);
// 3 × 3 erosion, three times, with replicated edges. A region is eroded on its own: pixels beside
// it never reach into it.
void ApplyErode(cv::Mat& frame, const std::optional<cv::Rect>& region = std::nullopt);
// Squared-luma curve with noise r = next() mod 21 per luma sample (row-major), chroma halved.
void ApplyGrain(cv::Mat& frame, GrainRandom& random, const std::optional<cv::Rect>& region = std::nullopt);

// The style of effectStyle 1 … 6; other values do nothing.
void ApplyEffectStyle(cv::Mat& frame, int effectStyle, GrainRandom& random,
    const std::optional<cv::Rect>& region = std::nullopt);

// Grain's luma curve: round((r + 1.7 Y − 10)² / 255) saturated to 0 … 255, for r in 0 … 20.
std::uint8_t GrainLuma(int r, int luma);
// Grain's chroma halving: (v − 128) / 2 truncated toward zero, plus 128.
std::uint8_t GrainChroma(int chroma);
