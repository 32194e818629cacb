#pragma once

#include <array>
#include <cstdint>
#include <memory>

// The 8-bit BGR <-> HSV conversions (hue 0 … 179) done pixel by pixel, giving the bytes that
// cv::cvtColor gives on a CPU with AVX2 and FMA for the pixels it converts in its vector blocks.
// OpenCV converts the last (width % block) pixels of each row back to BGR with another rounding,
// so its result there depends on where the pixel sits in the row; these functions give every
// pixel the block rule. Other CPUs' OpenCV may use other blocks and roundings: OpenCvHsvRule()
// says whether these functions agree with the OpenCV of this process.
//
// All take rows of n pixels, 3 bytes each. Source and destination may be the same row.

void BgrToHsvRow(const std::uint8_t* bgr, std::uint8_t* hsv, int n);
void HsvToBgrRow(const std::uint8_t* hsv, std::uint8_t* bgr, int n);

struct HsvSaturationValue;

// BGR to HSV, saturation and value through their tables, and back, in one pass without the
// intermediate picture. Building one costs about as much as a few rows of a 1080p frame.
class HsvAdjust {
public:
    HsvAdjust(const std::array<std::uint8_t, 256>& saturation, const std::array<std::uint8_t, 256>& value);
    ~HsvAdjust();
    HsvAdjust(const HsvAdjust&) = delete;
    HsvAdjust& operator=(const HsvAdjust&) = delete;

    void Row(const std::uint8_t* bgr, std::uint8_t* out, int n) const;

private:
    std::unique_ptr<HsvSaturationValue> table_;
};

// What this process's cv::cvtColor does with 8-bit HSV, probed once on first use: its block width
// (pixels per vector block, 1 when no row-end rule shows) and whether the functions above give its
// bytes at block positions. A row of width w then matches cvtColor in its first
// w - w % block pixels; the rest must go through cvtColor itself.
struct HsvRule {
    bool fastFormAgrees = false;
    int block = 1;
};
const HsvRule& OpenCvHsvRule();

// The pixels at the start of a row of the given width that the functions above may convert:
// w - w % block when they agree with OpenCV, else none.
int HsvFastColumns(int width);
