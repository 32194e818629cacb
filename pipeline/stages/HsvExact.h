#pragma once

#include <array>
#include <cstdint>
#include <memory>

// The 8-bit BGR <-> HSV conversions (hue 0 … 179) done pixel by pixel, giving the bytes that this
// machine's cv::cvtColor gives for frames whose rows are a whole number of its vector blocks
// (every frame width the cameras deliver). OpenCV finishes the last few pixels of other widths
// with a rounded instead of truncated back conversion, so its result there depends on where the
// pixel sits in the row; these functions give every pixel the same rule.
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
