#pragma once

#include <cstdint>

// What a strip lists.
enum class StripContent : int32_t { Photos = 0, Frames = 1, AddOns = 2 };
// Where a strip sits in the pane; it decides the colours and the pick direction.
enum class StripPlacement : int32_t { Top = 0, Bottom = 1, Middle = 2 };

// The kind value the photos strip holds; no scan pattern uses it.
inline constexpr int32_t kPhotoStripKind = 2;
