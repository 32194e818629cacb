#include "pipeline/stages/FunPreviewGrid.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace {

constexpr int kPerPage = 8;
constexpr int kMiddle = 4;
const cv::Scalar kBetweenTiles(40, 40, 40);

// The nine tile rectangles, row by row: equal cells with a gap around each, the picture's shape
// fitted and centred in each. Empty when the grid is too small for any tile.
std::vector<cv::Rect> Layout(cv::Size grid, cv::Size picture)
{
    const int gap = std::max(1, std::min(grid.width, grid.height) / 120);
    const int cellW = (grid.width - 4 * gap) / 3;
    const int cellH = (grid.height - 4 * gap) / 3;
    if (cellW < 1 || cellH < 1)
        return {};
    int tileW = cellW;
    int tileH = cellH;
    if (picture.width > 0 && picture.height > 0) {
        const double scale = std::min(static_cast<double>(cellW) / picture.width, static_cast<double>(cellH) / picture.height);
        tileW = std::clamp(static_cast<int>(std::lround(picture.width * scale)), 1, cellW);
        tileH = std::clamp(static_cast<int>(std::lround(picture.height * scale)), 1, cellH);
    }
    std::vector<cv::Rect> rects;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            rects.emplace_back(gap + col * (cellW + gap) + (cellW - tileW) / 2,
                gap + row * (cellH + gap) + (cellH - tileH) / 2, tileW, tileH);
    return rects;
}

} // namespace

int FunPreviewPageCount()
{
    return static_cast<int>((kFunEffects.size() + kPerPage - 1) / kPerPage);
}

std::span<const FunEffect> FunPreviewPage(int page)
{
    if (page < 0 || page >= FunPreviewPageCount())
        return {};
    const std::size_t first = static_cast<std::size_t>(page) * kPerPage;
    return std::span<const FunEffect>(kFunEffects).subspan(first, std::min<std::size_t>(kPerPage, kFunEffects.size() - first));
}

const FunPreview& FunPreviewGrid::Render(const cv::Mat& picture, cv::Size gridSize, std::span<const FunEffect> page,
    const std::optional<FunFace>& face, std::int64_t frameNumber)
{
    CV_Assert(picture.empty() || picture.type() == CV_8UC3);
    gridSize.width = std::max(0, gridSize.width);
    gridSize.height = std::max(0, gridSize.height);

    // A grid image someone still holds (a frame handed to the screen) is left to them.
    cv::Mat& image = preview_.image;
    const bool shared = image.u && image.u->refcount > 1;
    bool fresh = false;
    if (shared || image.size() != gridSize || image.type() != CV_8UC3) {
        image.release();
        image.create(gridSize, CV_8UC3);
        fresh = true;
    }
    std::vector<cv::Rect> layout = Layout(gridSize, picture.size());
    if (fresh || layout != layout_ || preview_.tiles.size() != std::min<std::size_t>(page.size(), kPerPage) + 1)
        image.setTo(kBetweenTiles); // what the tiles leave: the gaps and any empty cells
    layout_ = std::move(layout);
    preview_.tiles.clear();
    if (layout_.empty())
        return preview_;

    const cv::Size tileSize = layout_[0].size();
    if (picture.empty()) {
        reduced_.create(tileSize, CV_8UC3);
        reduced_.setTo(cv::Scalar::all(0));
    } else {
        // Halving by a linear resize averages 2 × 2 pixels, as cheap as it gets without losing
        // detail to aliasing; the last step is less than a halving.
        const cv::Mat* from = &picture;
        int next = 0;
        while (from->cols >= 2 * tileSize.width && from->rows >= 2 * tileSize.height) {
            cv::Mat& to = halves_[next];
            cv::resize(*from, to, cv::Size((from->cols + 1) / 2, (from->rows + 1) / 2), 0, 0, cv::INTER_LINEAR);
            from = &to;
            next ^= 1;
        }
        cv::resize(*from, reduced_, tileSize, 0, 0, cv::INTER_LINEAR);
    }

    std::optional<FunFace> small;
    if (face && !picture.empty()) {
        const float sx = static_cast<float>(tileSize.width) / static_cast<float>(picture.cols);
        const float sy = static_cast<float>(tileSize.height) / static_cast<float>(picture.rows);
        small = FunFace({ face->centre.x * sx, face->centre.y * sy }, face->width * sx);
    }

    for (int cell = 0; cell < 9; ++cell) {
        FunEffect effect = kFunNone;
        if (cell != kMiddle) {
            const std::size_t index = static_cast<std::size_t>(cell < kMiddle ? cell : cell - 1);
            if (index >= page.size())
                continue;
            effect = page[index];
        }
        cv::Mat tile = image(layout_[cell]);
        reduced_.copyTo(tile);
        ApplyFunEffect(tile, effect, state_, small, frameNumber);
        preview_.tiles.push_back({ effect, layout_[cell] });
    }
    return preview_;
}
