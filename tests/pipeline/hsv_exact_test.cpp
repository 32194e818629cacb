#include "pipeline/stages/HsvExact.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <array>
#include <cstdint>

namespace {

// The row functions promise OpenCV's bytes only where OpenCvHsvRule() found that they agree; the
// adjustment falls back to OpenCV elsewhere and is tested in colour_adjust_test.cpp.
#define SKIP_UNLESS_ONE_PASS_AGREES()                                                              \
    if (!OpenCvHsvRule().fastFormAgrees)                                                           \
    GTEST_SKIP() << "this CPU's OpenCV converts HSV by another rule; the adjustment uses OpenCV"

// Every 3-byte triple once, in rows of whole blocks of OpenCV's (the last row padded with the
// first triples), so that cvtColor gives every pixel its block rule.
cv::Mat AllTriples()
{
    const int width = HsvFastColumns(4096);
    const int rows = ((1 << 24) + width - 1) / width;
    cv::Mat all(rows, width, CV_8UC3);
    auto* p = all.ptr<std::uint8_t>();
    for (int i = 0; i < rows * width; ++i) {
        const int t = i & 0xffffff;
        p[3 * i] = static_cast<std::uint8_t>(t);
        p[3 * i + 1] = static_cast<std::uint8_t>(t >> 8);
        p[3 * i + 2] = static_cast<std::uint8_t>(t >> 16);
    }
    return all;
}

// Runs a row function over the frame in pieces of the given length, so that short pieces go
// through the one-pixel-at-a-time ends as well as the vector blocks.
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
// cv::cvtColor: in whole rows, through the functions' vector blocks, and in pieces of 15 pixels,
// shorter than those blocks (16 or 32 pixels), through their one-pixel ends.
// Both builds of the vector blocks (WideKernels.h) are checked where the CPU can run them.
TEST(HsvExact, EveryTripleConvertsAsOpenCvDoesBothWays)
{
    SKIP_UNLESS_ONE_PASS_AGREES();
    const cv::Mat all = AllTriples();
    cv::Mat forward, back;
    cv::cvtColor(all, forward, cv::COLOR_BGR2HSV);
    cv::cvtColor(all, back, cv::COLOR_HSV2BGR);
    ForEachKernelBuild([&](bool wide) {
        EXPECT_TRUE(SameBytes(ByPieces(all, all.cols, BgrToHsvRow), forward)) << wide;
        EXPECT_TRUE(SameBytes(ByPieces(all, 15, BgrToHsvRow), forward)) << wide;
        EXPECT_TRUE(SameBytes(ByPieces(all, all.cols, HsvToBgrRow), back)) << wide;
        EXPECT_TRUE(SameBytes(ByPieces(all, 15, HsvToBgrRow), back)) << wide;
    });
}

// Random colours, led by one of every maximum and spread (each saturation-and-value table entry).
cv::Mat SampleColours(int width, int height, std::uint64_t seed)
{
    cv::Mat colours = RandomFrame(width, height, seed);
    auto* p = colours.ptr<cv::Vec3b>();
    cv::RNG rng(seed);
    for (int top = 0; top < 256; ++top)
        for (int diff = 0; diff <= top; ++diff)
            *p++ = cv::Vec3b(static_cast<std::uint8_t>(top - diff),
                static_cast<std::uint8_t>(rng.uniform(top - diff, top + 1)), static_cast<std::uint8_t>(top));
    return colours;
}

// The one-pass adjustment against convert, look up, convert back, for tables that move every level
// (the hue table is the identity): in pieces that end off the vector blocks, and in place on whole
// rows as the stage uses it. The conversions themselves are checked for every triple above; this
// checks that the tables are applied between them.
TEST(HsvExact, AdjustingEqualsConvertLookUpConvertBack)
{
    SKIP_UNLESS_ONE_PASS_AGREES();
    cv::RNG rng(21);
    for (int round = 0; round < 3; ++round) {
        const cv::Mat colours = SampleColours(HsvFastColumns(1024), 256, 40 + round);
        const std::array<std::uint8_t, 256> saturation = RandomTable(rng);
        const std::array<std::uint8_t, 256> value = RandomTable(rng);
        cv::Mat lut(1, 256, CV_8UC3);
        for (int v = 0; v < 256; ++v)
            lut.at<cv::Vec3b>(0, v) = cv::Vec3b(static_cast<std::uint8_t>(v), saturation[v], value[v]);
        cv::Mat reference;
        cv::cvtColor(colours, reference, cv::COLOR_BGR2HSV);
        cv::LUT(reference, lut, reference);
        cv::cvtColor(reference, reference, cv::COLOR_HSV2BGR);

        const HsvAdjust adjust(saturation, value);
        const auto row = [&](const std::uint8_t* in, std::uint8_t* out, int n) { adjust.Row(in, out, n); };
        ForEachKernelBuild([&](bool wide) {
            EXPECT_TRUE(SameBytes(ByPieces(colours, 31, row), reference)) << round << wide;
            cv::Mat inPlace = colours.clone();
            for (int y = 0; y < inPlace.rows; ++y)
                adjust.Row(inPlace.ptr(y), inPlace.ptr(y), inPlace.cols);
            EXPECT_TRUE(SameBytes(inPlace, reference)) << round << wide;
        });
    }
}

} // namespace
