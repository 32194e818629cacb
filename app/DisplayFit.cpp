#include "app/DisplayFit.h"

#include <algorithm>
#include <cstdint>

QRect FitPictureRect(QSize picture, QRect area)
{
    const std::int64_t pw = std::max(picture.width(), 1);
    const std::int64_t ph = std::max(picture.height(), 1);
    const std::int64_t aw = std::max(area.width(), 1);
    const std::int64_t ah = std::max(area.height(), 1);
    std::int64_t w = aw;
    std::int64_t h = ah;
    // Compare the proportions crosswise, in integers, so a picture that fits exactly is not
    // rounded one pixel short.
    if (aw * ph <= ah * pw)
        h = aw * ph / pw; // the width limits
    else
        w = ah * pw / ph; // the height limits
    w = std::max<std::int64_t>(w, 1);
    h = std::max<std::int64_t>(h, 1);
    const int x = area.x() + static_cast<int>((aw - w) / 2);
    const int y = area.y() + static_cast<int>((ah - h) / 2);
    return QRect(x, y, static_cast<int>(w), static_cast<int>(h));
}
