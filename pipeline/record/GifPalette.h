#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

// Frames reduced to one shared colour table, as a GIF with a global table wants them.
struct IndexedFrames {
    std::vector<QRgb> colours;                      // always 256 entries
    int transparentIndex = -1;                      // -1 when no index is kept free
    bool sourceTransparent = false;                 // some input pixel was transparent
    std::vector<std::vector<std::uint8_t>> indices; // one width × height block per frame
};

// Median cut over the colours of all frames together (5 bits per channel), then each
// pixel takes the nearest table colour. Pixels with alpha below 128 become transparent.
// reserveIndex keeps the last table entry free as transparentIndex even when every pixel
// is opaque. Deterministic: equal input gives equal tables.
IndexedFrames Quantise(const std::vector<QImage>& frames, bool reserveIndex);
