#include "decorations/FillStrip.h"

#include "decorations/FolderScan.h"
#include "decorations/PhotoOrder.h"
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
    plan.paths = ScanFolder(folder, StripExtensions(strip.content(), kind));
    if (strip.content() == StripContent::Photos)
        SortNewestFirst(plan.paths);
    if (strip.loadsOnDemand()) {
        plan.headersOnly = true;
        plan.headers.resize(plan.paths.size());
        plan.knownHeaders = strip.headerCache();
        // A small folder is checked at once; a large one, even when nothing changed, costs a
        // look at every file, which is left to the decoding step (a worker for many files).
        constexpr size_t kCheckHereLimit = 64;
        const bool checkHere = plan.paths.size() < kCheckHereLimit;
        for (size_t i = 0; i < plan.paths.size(); ++i) {
            auto it = plan.knownHeaders.constFind(plan.paths[i]);
            if (checkHere && it != plan.knownHeaders.constEnd())
                plan.headers[i] = ReadPictureHeader(plan.paths[i], &*it); // final either way
            else
                plan.toDecode.push_back(i);
        }
        return plan;
    }
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
    if (plan.headersOnly) {
        std::vector<QString> paths;
        paths.reserve(plan.toDecode.size());
        for (size_t i : plan.toDecode)
            paths.push_back(plan.paths[i]);
        auto headers = ReadPictureHeaders(paths, &plan.knownHeaders, 0, cancel);
        for (size_t k = 0; k < headers.size(); ++k)
            plan.headers[plan.toDecode[k]] = std::move(headers[k]);
        return;
    }
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
    int sequence = 1;
    if (plan.headersOnly) {
        // Widths come from the headers at the strip's height now, so a plan read for another
        // height fits as well. Thumbnails already decoded for the same file are shown at once.
        QHash<QString, PictureHeader> headers;
        ThumbnailCache& decoded = strip.decodedThumbnails();
        for (size_t i = 0; i < plan.paths.size(); ++i) {
            const std::optional<float> width =
                plan.headers[i] ? ThumbnailWidth(plan.headers[i]->size, h) : std::nullopt;
            if (!width) {
                ++s.skipped; // a damaged file must not cost the user the other thumbnails
                continue;
            }
            const QString& path = plan.paths[i];
            const PictureHeader& header = *plan.headers[i];
            auto photo = std::make_unique<ConstrainedPhoto>(strip, sequence++, x, y, h);
            photo->SetThumbnail(QImage(), *width, path);
            if (const PhotoThumbnail* made = decoded.Find(path)) {
                if (made->height == h && made->width == *width && made->fileSize == header.fileSize &&
                    made->modified == header.modified)
                    photo->SetBitmap(made->bitmap);
                else
                    decoded.Remove(path);
            }
            photo->SetPickBounds(bounds.pick);
            photo->SetMoveRange(bounds.move);
            strip.AppendThumbnail(std::move(photo));
            headers.insert(path, header);
            x += *width + Photostrip::kThumbnailGap;
            ++s.shown;
        }
        strip.headerCache() = std::move(headers);
        strip.ThumbnailsPlaced();
        strip.update(); // a fill finished in the background is not seen otherwise
        return s.shown > 0;
    }
    QHash<QString, PhotoThumbnail> newCache;
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
    strip.update(); // a fill finished in the background is not seen otherwise
    return s.shown > 0;
}

bool FillStrip(Photostrip& strip, const std::filesystem::path& folder, FillStripStats* stats)
{
    StripFillPlan plan = PlanStripFill(strip, folder, strip.kind());
    DecodeStripFill(plan);
    return ApplyStripFill(strip, std::move(plan), stats);
}
