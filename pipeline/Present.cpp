#include "pipeline/Present.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <cstring>
#include <vector>

QImage DisplayBuffers::Stretch(const QImage& picture, QSize displaySize)
{
    if (picture.isNull() || displaySize.isEmpty() || picture.size() == displaySize)
        return picture;
    QImage& target = buffers_[next_];
    next_ ^= 1;
    // Still shown (or waiting to be shown) by the interface thread: make a new one instead.
    if (target.size() != displaySize || target.format() != picture.format() || !target.isDetached())
        target = QImage(displaySize, picture.format());
    StretchNearestInto(picture, target);
    return target;
}

void StretchNearestInto(const QImage& image, QImage& scaled)
{
    CV_Assert(image.depth() == 32 && scaled.depth() == 32 && !image.isNull() && !scaled.isNull());
    const int sw = image.width();
    const int sh = image.height();
    const int dw = scaled.width();
    const int dh = scaled.height();
    // Source column of every display column, as a stretch blit picks it: ⌊x · sw / dw⌋.
    std::vector<int> columns(static_cast<size_t>(dw));
    for (int x = 0; x < dw; ++x)
        columns[static_cast<size_t>(x)] = static_cast<int>(static_cast<int64_t>(x) * sw / dw);
    int previousRow = -1;
    for (int y = 0; y < dh; ++y) {
        const int sy = static_cast<int>(static_cast<int64_t>(y) * sh / dh);
        auto* target = reinterpret_cast<uint32_t*>(scaled.scanLine(y));
        if (sy == previousRow) {
            // Enlarging repeats source rows: copy the row just made.
            std::memcpy(target, scaled.constScanLine(y - 1), static_cast<size_t>(dw) * 4);
            continue;
        }
        const auto* source = reinterpret_cast<const uint32_t*>(image.constScanLine(sy));
        for (int x = 0; x < dw; ++x)
            target[x] = source[columns[static_cast<size_t>(x)]];
        previousRow = sy;
    }
}
