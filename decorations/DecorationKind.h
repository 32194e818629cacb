#pragma once

#include <cstdint>

// The kind of a big frame, of an add-on and of the files a frames or add-ons strip lists.
// The values travel with picks and ribbon commands, so they are fixed.
enum class DecorationKind : int32_t {
    Gif = 0, // animated GIF
    Png = 1, // still PNG with transparency
};

// Picks and commands carry the kind as a plain number; only these two name a kind.
constexpr bool IsDecorationKind(int kind)
{
    return kind == static_cast<int>(DecorationKind::Gif) || kind == static_cast<int>(DecorationKind::Png);
}
