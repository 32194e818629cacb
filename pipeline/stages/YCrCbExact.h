#pragma once

#include <algorithm>
#include <cstdint>

// The 8-bit BGR ↔ YCrCb conversion in OpenCV's fixed-point form (14-bit coefficients, each step
// rounded half up), so a stage can convert one pixel at a time, fused with its own work, and still
// give exactly cv::cvtColor's bytes (COLOR_BGR2YCrCb, COLOR_YCrCb2BGR).
namespace ycrcb {

constexpr int kShift = 14;
constexpr int kHalf = 1 << (kShift - 1);
constexpr int kBlueToY = 1868;
constexpr int kGreenToY = 9617;
constexpr int kRedToY = 4899;
constexpr int kRedDiffToCr = 11682;
constexpr int kBlueDiffToCb = 9241;
constexpr int kCrToRed = 22987;
constexpr int kCrToGreen = -11698;
constexpr int kCbToGreen = -5636;
constexpr int kCbToBlue = 29049;
// 128 in fixed point plus the rounding half: chroma is stored around 128.
constexpr int kChromaBias = (128 << kShift) + kHalf;

inline int Clamp8(int v) { return std::clamp(v, 0, 255); }

inline int Luma(int b, int g, int r) { return (b * kBlueToY + g * kGreenToY + r * kRedToY + kHalf) >> kShift; }
inline int Cr(int r, int y) { return Clamp8(((r - y) * kRedDiffToCr + kChromaBias) >> kShift); }
inline int Cb(int b, int y) { return Clamp8(((b - y) * kBlueDiffToCb + kChromaBias) >> kShift); }

// Back from luma and the chroma offsets from 128 (cr − 128, cb − 128); saturated.
inline int Blue(int y, int cbOffset) { return Clamp8(y + ((cbOffset * kCbToBlue + kHalf) >> kShift)); }
inline int Green(int y, int crOffset, int cbOffset)
{
    return Clamp8(y + ((cbOffset * kCbToGreen + crOffset * kCrToGreen + kHalf) >> kShift));
}
inline int Red(int y, int crOffset) { return Clamp8(y + ((crOffset * kCrToRed + kHalf) >> kShift)); }

} // namespace ycrcb
