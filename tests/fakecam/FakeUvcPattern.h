#pragma once

// The picture the fake camera sends, shared with the tests that read it back.
//
// Along the top-left the frame number is written as 32 blocks of 16×16 pixels, least significant
// bit first (white = 1, black = 0). Everything else is a horizontal ramp that moves two steps a
// frame and so repeats every kFakeRampPeriod frames; its level follows the brightness control.
// Below the number strip the picture depends on x alone, which lets the fake encode one 8-row
// band of Motion-JPEG and repeat it.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>

#ifndef FAKEUVC_WITHOUT_OPENCV
#include <opencv2/core.hpp>
#endif

inline constexpr int kFakeBlock = 16;
inline constexpr int kFakeBits = 32;
inline constexpr int kFakeStripRows = kFakeBlock;
inline constexpr std::uint32_t kFakeRampPeriod = 64;

// The ramp spans 64..191 so that the whole brightness range (-64..64) moves it without clipping.
inline std::uint8_t FakeRampLuma(int x, int width, std::uint32_t frame, int brightness)
{
    const int ramp = (x * 128 / std::max(width, 1) + int(frame % kFakeRampPeriod) * 2) % 128;
    return std::uint8_t(std::clamp(64 + ramp + brightness, 0, 255));
}

// Draws rows [firstRow, firstRow + rowCount) of a width-wide frame into a luma plane whose first
// row is firstRow.
inline void DrawFakeRows(std::uint8_t* luma, std::ptrdiff_t stride, int width, int firstRow, int rowCount,
    std::uint32_t frame, int brightness)
{
    for (int r = 0; r < rowCount; ++r) {
        const int y = firstRow + r;
        std::uint8_t* row = luma + r * stride;
        for (int x = 0; x < width; ++x)
            row[x] = FakeRampLuma(x, width, frame, brightness);
        if (y >= kFakeStripRows)
            continue;
        for (int bit = 0; bit < kFakeBits && (bit + 1) * kFakeBlock <= width; ++bit)
            std::fill_n(row + bit * kFakeBlock, kFakeBlock, ((frame >> bit) & 1U) != 0 ? 255 : 0);
    }
}

#ifndef FAKEUVC_WITHOUT_OPENCV
// The number a frame carries, read at the block centres; nullopt when the frame cannot hold it.
inline std::optional<std::uint32_t> ReadFakeFrameNumber(const cv::Mat& image)
{
    if (image.depth() != CV_8U || image.cols < kFakeBits * kFakeBlock || image.rows < kFakeStripRows)
        return std::nullopt;
    const int channels = image.channels();
    std::uint32_t number = 0;
    for (int bit = 0; bit < kFakeBits; ++bit) {
        const std::uint8_t* p = image.ptr<std::uint8_t>(kFakeBlock / 2) + (bit * kFakeBlock + kFakeBlock / 2) * channels;
        int sum = 0;
        for (int c = 0; c < channels; ++c)
            sum += p[c];
        if (sum >= 128 * channels)
            number |= 1U << bit;
    }
    return number;
}
#endif
