#pragma once

#include "pipeline/stages/FunPreviewGrid.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <mutex>
#include <optional>
#include <vector>

// The preview grid while the picture area shows it: whether it is shown and which page, set on the
// interface thread; the worker renders it from each processed frame; the view reads the tiles of
// the last grid to label them and to turn a click into an effect.
class FunPreviewShow {
public:
    // Interface thread. Showing starts at the first page.
    void Show(bool on);
    bool shown() const;
    int page() const;
    // One page on (step 1) or back (-1), round from the last page to the first.
    void TurnPage(int step);

    // Worker: the grid of gridSize for picture into out (BGR) while shown; false (out left alone)
    // otherwise.
    bool Render(const cv::Mat& picture, cv::Size gridSize, const std::optional<FunFace>& face,
        std::int64_t frameNumber, cv::Mat& out);

    // Any thread: the tiles of the last grid rendered (grid pixels), none before the first.
    std::vector<FunPreviewTile> tiles() const;
    // The effect of the tile at a point of the grid (kFunNone for the middle one); none between
    // tiles, outside the grid, or while no grid was rendered since it was shown.
    std::optional<FunEffect> EffectAt(cv::Point gridPoint) const;

private:
    void Forget(); // mutex_ held

    FunPreviewGrid grid_; // worker only
    mutable std::mutex mutex_;
    bool shown_ = false;
    int page_ = 0;
    std::uint64_t generation_ = 0; // raised whenever what the grid shows changes
    std::vector<FunPreviewTile> tiles_;
};
