#pragma once

#include <filesystem>

class Photostrip;

struct FillStripStats {
    int shown = 0;   // thumbnails in the strip
    int skipped = 0; // matching entries that could not be read
    int decoded = 0; // files decoded by this fill (the others were unchanged since the last one)
};

// Fills the strip with one thumbnail per matching file of folder, in name order. An entry that
// cannot be read is skipped; the others stay. True when the strip shows at least one thumbnail.
bool FillStrip(Photostrip& strip, const std::filesystem::path& folder,
               FillStripStats* stats = nullptr);
