#pragma once

#include "decorations/PhotoThumbnail.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

class Photostrip;

struct FillStripStats {
    int shown = 0;   // thumbnails in the strip
    int skipped = 0; // matching entries that could not be read
    int decoded = 0; // files decoded by this fill (the others were unchanged since the last one)
};

// Fills the strip with one thumbnail per matching file of folder, in name order (the photos
// strip newest first, PhotoOrder.h), the row starting where the strip is scrolled to. An entry
// that cannot be read is skipped; the others stay. True when the strip shows at least one
// thumbnail.
bool FillStrip(Photostrip& strip, const std::filesystem::path& folder,
               FillStripStats* stats = nullptr);

// FillStrip in three steps, for callers that decode off the interface thread: plan and apply
// on the interface thread, decode anywhere. Apply gives the same strip as FillStrip.
// A strip that loads on demand needs only each file's header: then the plan holds headers
// instead of thumbnails, fits any strip height, and the row shows placeholders until the
// strip has decoded what comes into view.
struct StripFillPlan {
    std::vector<QString> paths;                        // the matching files, in order
    std::vector<std::optional<PhotoThumbnail>> thumbs; // reused from the strip, or decoded
    std::vector<size_t> toDecode;                      // indices still to decode (or whose header to read)
    float height = 0.0f;                               // thumbnail height
    bool headersOnly = false;
    std::vector<std::optional<PictureHeader>> headers;
    QHash<QString, PictureHeader> knownHeaders; // of the last fill, reused while files are unchanged
};
// Lists what the strip would show for the given kind (the strip's own kind is left as it is).
StripFillPlan PlanStripFill(Photostrip& strip, const std::filesystem::path& folder, int32_t kind);
// Stops early, leaving the rest undecoded, when cancel becomes true.
void DecodeStripFill(StripFillPlan& plan, const std::atomic<bool>* cancel = nullptr);
bool ApplyStripFill(Photostrip& strip, StripFillPlan plan, FillStripStats* stats = nullptr);
