#include "decorations/FillStrip.h"

#include "decorations/FolderScan.h"
#include "decorations/Photostrip.h"

#include <algorithm>

namespace {

struct Placement {
    CornerBounds pick;
    CornerBounds move;
};

// How far a thumbnail may be dragged and where it is picked, relative to the strip's top.
Placement BoundsFor(StripPlacement placement, float H)
{
    const float thumbHalf = 0.75f * H * 0.5f;
    Placement p;
    switch (placement) {
    case StripPlacement::Top:
        p.pick.yMax = static_cast<int32_t>(0.25f * H);
        p.move.yMin = static_cast<int32_t>(-thumbHalf);
        p.move.yMax = static_cast<int32_t>(0.25f * H);
        break;
    case StripPlacement::Bottom:
        p.pick.yMin = 0;
        p.move.yMin = 0;
        p.move.yMax = static_cast<int32_t>(0.25f * H + thumbHalf);
        break;
    case StripPlacement::Middle:
        p.pick.yMax = static_cast<int32_t>(0.25f * H);
        p.move.yMin = static_cast<int32_t>(-thumbHalf);
        p.move.yMax = static_cast<int32_t>(0.25f * H + thumbHalf);
        break;
    }
    return p;
}

} // namespace

StripFillPlan PlanStripFill(Photostrip& strip, const std::filesystem::path& folder, int32_t kind)
{
    StripFillPlan plan;
    plan.height = 0.75f * static_cast<float>(strip.stripHeight());
    plan.paths = ScanFolder(folder, StripExtension(strip.content(), kind));
    plan.thumbs.resize(plan.paths.size());
    // Unchanged files keep the thumbnails the strip already has.
    const QHash<QString, PhotoThumbnail>& cache = strip.thumbnailCache();
    for (size_t i = 0; i < plan.paths.size(); ++i) {
        auto it = cache.constFind(plan.paths[i]);
        if (it != cache.constEnd() && ThumbnailIsCurrent(*it, plan.paths[i], plan.height))
            plan.thumbs[i] = *it;
        else
            plan.toDecode.push_back(i);
    }
    return plan;
}

void DecodeStripFill(StripFillPlan& plan, const std::atomic<bool>* cancel)
{
    // In slices, so that a cancelled fill stops soon.
    constexpr size_t kSlice = 32;
    for (size_t at = 0; at < plan.toDecode.size(); at += kSlice) {
        if (cancel && cancel->load())
            return;
        const size_t end = std::min(plan.toDecode.size(), at + kSlice);
        std::vector<QString> paths;
        for (size_t k = at; k < end; ++k)
            paths.push_back(plan.paths[plan.toDecode[k]]);
        auto decoded = LoadPhotoThumbnails(paths, plan.height);
        for (size_t k = at; k < end; ++k)
            plan.thumbs[plan.toDecode[k]] = std::move(decoded[k - at]);
    }
}

bool ApplyStripFill(Photostrip& strip, StripFillPlan plan, FillStripStats* stats)
{
    FillStripStats local;
    FillStripStats& s = stats ? *stats : local;
    s = {};
    s.decoded = static_cast<int>(plan.toDecode.size());

    strip.ClearStrip();
    const float H = static_cast<float>(strip.stripHeight());
    const float h = 0.75f * H;
    const float y = strip.placement() == StripPlacement::Bottom ? 0.25f * H - 0.05f * H : 0.05f * H;
    // The row starts where the strip is scrolled to; a strip refilled at a new height stays put.
    float x = Photostrip::kThumbnailGap + strip.scrollOffset();
    const Placement bounds = BoundsFor(strip.placement(), H);
    QHash<QString, PhotoThumbnail> newCache;
    int sequence = 1;
    for (size_t i = 0; i < plan.paths.size(); ++i) {
        if (!plan.thumbs[i] || plan.thumbs[i]->height != h) {
            ++s.skipped; // a damaged file must not cost the user the other thumbnails
            continue;
        }
        const PhotoThumbnail& thumb = *plan.thumbs[i];
        auto photo = std::make_unique<ConstrainedPhoto>(strip, sequence++, x, y, h);
        photo->SetThumbnail(thumb.bitmap, thumb.width, plan.paths[i]);
        photo->SetPickBounds(bounds.pick);
        photo->SetMoveRange(bounds.move);
        strip.AppendThumbnail(std::move(photo));
        newCache.insert(plan.paths[i], thumb);
        x += thumb.width + Photostrip::kThumbnailGap;
        ++s.shown;
    }
    strip.thumbnailCache() = std::move(newCache);
    return s.shown > 0;
}

bool FillStrip(Photostrip& strip, const std::filesystem::path& folder, FillStripStats* stats)
{
    StripFillPlan plan = PlanStripFill(strip, folder, strip.kind());
    DecodeStripFill(plan);
    return ApplyStripFill(strip, std::move(plan), stats);
}
