#include "decorations/FillStrip.h"

#include "decorations/FolderScan.h"
#include "decorations/Photostrip.h"

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

bool FillStrip(Photostrip& strip, const std::filesystem::path& folder, FillStripStats* stats)
{
    FillStripStats local;
    FillStripStats& s = stats ? *stats : local;
    s = {};

    strip.ClearStrip();
    const float H = static_cast<float>(strip.stripHeight());
    const float h = 0.75f * H;
    const float y = strip.placement() == StripPlacement::Bottom ? 0.25f * H - 0.05f * H : 0.05f * H;
    float x = Photostrip::kThumbnailGap;

    const std::vector<QString> paths =
        ScanFolder(folder, StripExtension(strip.content(), strip.kind()));

    // Unchanged files keep the thumbnails the strip already had.
    QHash<QString, PhotoThumbnail>& cache = strip.thumbnailCache();
    std::vector<std::optional<PhotoThumbnail>> thumbs(paths.size());
    std::vector<QString> toDecode;
    std::vector<size_t> decodeSlots;
    for (size_t i = 0; i < paths.size(); ++i) {
        auto it = cache.constFind(paths[i]);
        if (it != cache.constEnd() && ThumbnailIsCurrent(*it, paths[i], h)) {
            thumbs[i] = *it;
        } else {
            toDecode.push_back(paths[i]);
            decodeSlots.push_back(i);
        }
    }
    std::vector<std::optional<PhotoThumbnail>> decoded = LoadPhotoThumbnails(toDecode, h);
    for (size_t k = 0; k < decoded.size(); ++k)
        thumbs[decodeSlots[k]] = std::move(decoded[k]);
    s.decoded = static_cast<int>(toDecode.size());

    const Placement bounds = BoundsFor(strip.placement(), H);
    QHash<QString, PhotoThumbnail> newCache;
    int sequence = 1;
    for (size_t i = 0; i < paths.size(); ++i) {
        if (!thumbs[i]) {
            ++s.skipped; // a damaged file must not cost the user the other thumbnails
            continue;
        }
        const PhotoThumbnail& thumb = *thumbs[i];
        auto photo = std::make_unique<ConstrainedPhoto>(strip, sequence++, x, y, h);
        photo->SetThumbnail(thumb.bitmap, thumb.width, paths[i]);
        photo->SetPickBounds(bounds.pick);
        photo->SetMoveRange(bounds.move);
        strip.AppendThumbnail(std::move(photo));
        newCache.insert(paths[i], thumb);
        x += thumb.width + Photostrip::kThumbnailGap;
        ++s.shown;
    }
    cache = std::move(newCache);
    return s.shown > 0;
}
