#pragma once

#include "pipeline/stages/FunEffect.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

// The preview grid: nine small copies of the picture in a 3 × 3 grid, the middle one as it is and
// the others each with an effect of the page. The widget draws the labels and turns clicks into
// effects through the tiles.

// The effects of kFunEffects in pages of eight; a page past the last is empty.
int FunPreviewPageCount();
std::span<const FunEffect> FunPreviewPage(int page);

struct FunPreviewTile {
    FunEffect effect; // kFunNone for the middle tile, the picture as it is
    cv::Rect rect;    // in the grid image
};

struct FunPreview {
    cv::Mat image;                     // BGR, the grid's size; dark grey between the tiles
    std::vector<FunPreviewTile> tiles; // the middle one and one per effect of the page, in grid order
};

class FunPreviewGrid {
public:
    // The grid of gridSize for picture (BGR, CV_8UC3): the picture is reduced once to the tile
    // size (keeping its shape) and every effect runs on that reduced copy. Cells are filled row by
    // row, the middle cell skipped for the picture itself; a page of fewer than eight leaves the
    // last cells empty. face is in picture pixels, frameNumber as for ApplyFunEffect.
    // The result is reused by the next call unless the caller still holds its image.
    const FunPreview& Render(const cv::Mat& picture, cv::Size gridSize, std::span<const FunEffect> page,
        const std::optional<FunFace>& face, std::int64_t frameNumber);

private:
    FunEffectState state_;
    cv::Mat reduced_;
    cv::Mat halves_[2];
    FunPreview preview_;
    std::vector<cv::Rect> layout_;
};
