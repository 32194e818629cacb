#include "pipeline/stages/HsvExact.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <array>
#include <cstdint>

namespace {

// Every 3-byte pixel once: 4096 x 4096. The width is a whole number of OpenCV's vector blocks, so
// cv::cvtColor gives every pixel its main rule.
cv::Mat AllTriples()
{
    cv::Mat all(4096, 4096, CV_8UC3);
    auto* p = all.ptr<std::uint8_t>();
    for (int i = 0; i < (1 << 24); ++i) {
        p[3 * i] = static_cast<std::uint8_t>(i);
        p[3 * i + 1] = static_cast<std::uint8_t>(i >> 8);
        p[3 * i + 2] = static_cast<std::uint8_t>(i >> 16);
    }
    return all;
}

// Runs a row function over the frame in pieces of the given length, so that short pieces go
// through the one-pixel-at-a-time ends as well as the blocks.
template <class RowFunction>
cv::Mat ByPieces(const cv::Mat& source, int piece, RowFunction row)
{
    cv::Mat out(source.size(), CV_8UC3, cv::Scalar::all(7));
    for (int y = 0; y < source.rows; ++y)
        for (int x = 0; x < source.cols; x += piece)
            row(source.ptr(y) + 3 * x, out.ptr(y) + 3 * x, std::min(piece, source.cols - x));
    return out;
}

std::array<std::uint8_t, 256> RandomTable(cv::RNG& rng)
{
    std::array<std::uint8_t, 256> table {};
    for (auto& entry : table)
        entry = static_cast<std::uint8_t>(rng.uniform(0, 256));
    return table;
}

// Every colour forward and every HSV byte triple back (hues past 179 included) against
// cv::cvtColor.
TEST(HsvExact, EveryColourConvertsAsOpenCvDoesBothWays)
{
    const cv::Mat all = AllTriples();
    cv::Mat reference;
    cv::cvtColor(all, reference, cv::COLOR_BGR2HSV);
    EXPECT_TRUE(SameBytes(ByPieces(all, 4096, BgrToHsvRow), reference));
    cv::cvtColor(all, reference, cv::COLOR_HSV2BGR);
    EXPECT_TRUE(SameBytes(ByPieces(all, 4096, HsvToBgrRow), reference));
}

// The one-pass adjustment of every colour against convert, look up, convert back, for tables that
// move every level (the hue table is the identity).
TEST(HsvExact, AdjustingEveryColourEqualsConvertLookUpConvertBack)
{
    const cv::Mat all = AllTriples();
    cv::RNG rng(21);
    const std::array<std::uint8_t, 256> saturation = RandomTable(rng);
    const std::array<std::uint8_t, 256> value = RandomTable(rng);
    cv::Mat lut(1, 256, CV_8UC3);
    for (int v = 0; v < 256; ++v)
        lut.at<cv::Vec3b>(0, v) = cv::Vec3b(static_cast<std::uint8_t>(v), saturation[v], value[v]);
    cv::Mat reference;
    cv::cvtColor(all, reference, cv::COLOR_BGR2HSV);
    cv::LUT(reference, lut, reference);
    cv::cvtColor(reference, reference, cv::COLOR_HSV2BGR);

    const HsvAdjust adjust(saturation, value);
    const auto row = [&](const std::uint8_t* in, std::uint8_t* out, int n) { adjust.Row(in, out, n); };
    // In pieces that end off the vector blocks, so that a good part of the colours go through the
    // pixel-at-a-time ends; then whole rows in place, as the stage uses it.
    EXPECT_TRUE(SameBytes(ByPieces(all, 31, row), reference));
    cv::Mat inPlace = all.clone();
    for (int y = 0; y < inPlace.rows; ++y)
        adjust.Row(inPlace.ptr(y), inPlace.ptr(y), inPlace.cols);
    EXPECT_TRUE(SameBytes(inPlace, reference));
}

} // namespace
