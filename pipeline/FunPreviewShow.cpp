#include "pipeline/FunPreviewShow.h"

void FunPreviewShow::Show(bool on)
{
    std::scoped_lock lock(mutex_);
    if (on && !shown_)
        page_ = 0;
    shown_ = on;
    Forget();
}

void FunPreviewShow::TurnPage(int step)
{
    const int pages = FunPreviewPageCount();
    if (pages <= 0)
        return;
    std::scoped_lock lock(mutex_);
    page_ = ((page_ + step) % pages + pages) % pages;
    Forget();
}

void FunPreviewShow::Forget()
{
    // A click must pick from the grid as it is shown now, never from an earlier page's tiles.
    tiles_.clear();
    ++generation_;
}

bool FunPreviewShow::shown() const
{
    std::scoped_lock lock(mutex_);
    return shown_;
}

int FunPreviewShow::page() const
{
    std::scoped_lock lock(mutex_);
    return page_;
}

bool FunPreviewShow::Render(const cv::Mat& picture, cv::Size gridSize, const std::optional<FunFace>& face,
    std::int64_t frameNumber, cv::Mat& out)
{
    int page = 0;
    std::uint64_t generation = 0;
    {
        std::scoped_lock lock(mutex_);
        if (!shown_)
            return false;
        page = page_;
        generation = generation_;
    }
    if (picture.empty() || gridSize.width <= 0 || gridSize.height <= 0)
        return false;
    const FunPreview& preview = grid_.Render(picture, gridSize, FunPreviewPage(page), face, frameNumber);
    preview.image.copyTo(out);
    std::scoped_lock lock(mutex_);
    // A page turned meanwhile: this grid is shown once, but its tiles are not the page's.
    if (generation == generation_)
        tiles_ = preview.tiles;
    return true;
}

std::vector<FunPreviewTile> FunPreviewShow::tiles() const
{
    std::scoped_lock lock(mutex_);
    return tiles_;
}

std::optional<FunEffect> FunPreviewShow::EffectAt(cv::Point gridPoint) const
{
    std::scoped_lock lock(mutex_);
    if (!shown_)
        return std::nullopt;
    for (const FunPreviewTile& tile : tiles_)
        if (tile.rect.contains(gridPoint))
            return tile.effect;
    return std::nullopt;
}
