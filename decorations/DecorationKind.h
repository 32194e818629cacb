#pragma once

#include <cstdint>

// The kind of a big frame, of an add-on and of the files a frames or add-ons strip lists.
// The values travel with picks and ribbon commands, so they are fixed.
enum class DecorationKind : int32_t {
    Gif = 0, // animated GIF
    Png = 1, // still PNG with transparency
};
