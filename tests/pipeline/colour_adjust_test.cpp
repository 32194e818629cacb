#include "pipeline/stages/ColourAdjust.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

// The stage written the long way: convert, split, remap each adjusted channel in slider order
// through its own table, merge, convert back.
void ReferenceAdjust(cv::Mat& frame, int model, const ChannelSliders& sliders)
{
    static const int in[] = { -1, cv::COLOR_BGR2HSV, cv::COLOR_BGR2HLS, cv::COLOR_BGR2YCrCb };
    static const int out[] = { -1, cv::COLOR_HSV2BGR, cv::COLOR_HLS2BGR, cv::COLOR_YCrCb2BGR };
    cv::Mat converted = model == 0 ? frame.clone() : cv::Mat();
    if (model != 0)
        cv::cvtColor(frame, converted, in[model]);
    std::vector<cv::Mat> planes;
    cv::split(converted, planes);
    for (int i = 0; i < 3; ++i) {
        if (!SliderAdjusts(model, i))
            continue;
        // The table itself is pinned by the worked values below; this checks the composition.
        const ChannelTable built = BuildChannelTable(sliders.brightness[i], sliders.contrast[i]);
        const cv::Mat table(1, 256, CV_8U, const_cast<uchar*>(built.data()));
        cv::Mat mapped;
        cv::LUT(planes[sliders.channelIndex[i]], table, mapped);
        planes[sliders.channelIndex[i]] = mapped;
    }
    cv::merge(planes, converted);
    if (model == 0)
        converted.copyTo(frame);
    else
        cv::cvtColor(converted, frame, out[model]);
}

TEST(ChannelTable, MatchesTheWorkedValues)
{
    const ChannelTable neutral = BuildChannelTable(100, 100);
    EXPECT_EQ(neutral[1], 1);
    EXPECT_EQ(neutral[127], 127);
    EXPECT_EQ(neutral[128], 129); // neutral is not an identity
    EXPECT_EQ(neutral[200], 201);
    EXPECT_EQ(neutral[255], 255);

    const ChannelTable bright = BuildChannelTable(150, 100);
    EXPECT_EQ(bright[0], 50);
    EXPECT_EQ(bright[128], 179);
    EXPECT_EQ(bright[200], 251);
    EXPECT_EQ(bright[255], 255);

    const ChannelTable steep = BuildChannelTable(100, 150);
    EXPECT_EQ(steep[64], 1);
    EXPECT_EQ(steep[127], 127);
    EXPECT_EQ(steep[128], 128);
    EXPECT_EQ(steep[200], 255);

    const ChannelTable dim = BuildChannelTable(50, 50);
    EXPECT_EQ(dim[0], 39);
    EXPECT_EQ(dim[128], 103);
    EXPECT_EQ(dim[255], 167);
}

// Whole pixels with the worked values: in RGB every channel goes through its slider's table, the
// neutral one included (which is not an identity: 128 becomes 129).
TEST(AdjustChannels, RgbPixelsTakeTheWorkedValuesOfTheirSliders)
{
    cv::Mat frame(1, 2, CV_8UC3);
    frame.at<cv::Vec3b>(0, 0) = { 128, 200, 0 };
    frame.at<cv::Vec3b>(0, 1) = { 255, 128, 127 };
    ChannelSliders sliders;
    sliders.brightness[0] = 150; // blue
    sliders.contrast[2] = 150;   // red
    AdjustChannels(frame, 0, sliders);
    EXPECT_EQ(frame.at<cv::Vec3b>(0, 0), cv::Vec3b(179, 201, 0));
    EXPECT_EQ(frame.at<cv::Vec3b>(0, 1), cv::Vec3b(255, 129, 127));
}

TEST(ChannelTable, FullContrastIsAThresholdAndNoContrastIsFlat)
{
    const ChannelTable threshold = BuildChannelTable(100, 200);
    for (int v = 0; v < 256; ++v)
        EXPECT_EQ(threshold[v], v < 128 ? 0 : 255) << v;
    for (int brightness : { 0, 100, 200 }) {
        const ChannelTable flat = BuildChannelTable(brightness, 0);
        for (int v = 0; v < 256; ++v)
            ASSERT_EQ(flat[v], 128) << brightness << " " << v;
    }
}

TEST(AdjustChannels, EqualsSplitLookUpMergeForEveryModel)
{
    cv::RNG rng(7);
    for (int model = 0; model < 4; ++model) {
        for (int round = 0; round < 6; ++round) {
            ChannelSliders sliders;
            for (int i = 0; i < 3; ++i) {
                sliders.brightness[i] = rng.uniform(0, 201);
                sliders.contrast[i] = rng.uniform(0, 201);
            }
            if (round == 5)
                sliders.channelIndex = { 2, 2, 0 }; // two sliders on one channel apply in turn
            cv::Mat fast = RandomFrame(97, 61, 100 + round);
            cv::Mat reference = fast.clone();
            AdjustChannels(fast, model, sliders);
            ReferenceAdjust(reference, model, sliders);
            ASSERT_TRUE(SameBytes(fast, reference)) << "model " << model << " round " << round;
        }
    }
}

TEST(AdjustChannels, StripsAcrossTheCoresGiveTheWholeFrameBytes)
{
    // Frames of many strips (odd widths, a view into a larger frame) against the reference.
    cv::RNG rng(11);
    const cv::Size sizes[] = { { 1001, 203 }, { 1920, 1080 }, { 7, 5000 } };
    for (const cv::Size& size : sizes) {
        for (int model = 1; model < 4; ++model) {
            ChannelSliders sliders;
            for (int i = 0; i < 3; ++i) {
                sliders.brightness[i] = rng.uniform(0, 201);
                sliders.contrast[i] = rng.uniform(0, 201);
            }
            cv::Mat fast = RandomFrame(size.width, size.height, model * 31 + size.width);
            cv::Mat reference = fast.clone();
            AdjustChannels(fast, model, sliders);
            ReferenceAdjust(reference, model, sliders);
            ASSERT_TRUE(SameBytes(fast, reference)) << size << " model " << model;
        }
    }
    cv::Mat big = RandomFrame(900, 300, 5);
    cv::Mat reference = big(cv::Rect(13, 7, 611, 250)).clone();
    cv::Mat view = big(cv::Rect(13, 7, 611, 250));
    ChannelSliders sliders;
    sliders.brightness = { 100, 150, 60 };
    AdjustChannels(view, kColourHls, sliders);
    ReferenceAdjust(reference, kColourHls, sliders);
    EXPECT_TRUE(SameBytes(view, reference));
}

// HSV with the hue kept goes through a faster path on whole blocks of OpenCV's conversion, and
// through OpenCV for the pixels past them: every width up to a few blocks, a single row, a view.
TEST(AdjustChannels, HsvGivesOpenCvBytesAtEveryWidth)
{
    ChannelSliders sliders;
    sliders.brightness = { 100, 140, 70 };
    sliders.contrast = { 100, 60, 150 };
    for (int width = 1; width <= 140; ++width) {
        for (int height : { 1, 9 }) {
            cv::Mat fast = RandomFrame(width, height, 1000 * height + width);
            cv::Mat reference = fast.clone();
            AdjustChannels(fast, kColourHsv, sliders);
            ReferenceAdjust(reference, kColourHsv, sliders);
            ASSERT_TRUE(SameBytes(fast, reference)) << width << " x " << height;
        }
    }
    cv::Mat big = RandomFrame(1400, 90, 8);
    cv::Mat view = big(cv::Rect(5, 3, 1366, 80));
    cv::Mat reference = view.clone();
    AdjustChannels(view, kColourHsv, sliders);
    ReferenceAdjust(reference, kColourHsv, sliders);
    EXPECT_TRUE(SameBytes(view, reference));
}

TEST(AdjustChannels, EachModelLeavesItsUnadjustedChannelsAlone)
{
    const cv::Mat source = RandomFrame(64, 48, 3);
    ChannelSliders neutral;
    ChannelSliders moved = neutral;
    moved.brightness[0] = 180;
    moved.contrast[0] = 40;

    // HSV, HLS: the hue sliders change nothing beyond the conversion there and back.
    for (int model : { kColourHsv, kColourHls }) {
        cv::Mat a = source.clone();
        cv::Mat b = source.clone();
        AdjustChannels(a, model, neutral);
        AdjustChannels(b, model, moved);
        EXPECT_TRUE(SameBytes(a, b)) << model;
    }

    // YCrCb: only the luma is remapped; the sliders of channels 2 and 3 change nothing.
    ChannelSliders chroma = neutral;
    chroma.brightness = { 100, 30, 170 };
    chroma.contrast = { 100, 190, 10 };
    cv::Mat a = source.clone();
    cv::Mat b = source.clone();
    AdjustChannels(a, kColourYCrCb, neutral);
    AdjustChannels(b, kColourYCrCb, chroma);
    EXPECT_TRUE(SameBytes(a, b));

    cv::Mat lumaOnly = source.clone();
    AdjustChannels(lumaOnly, kColourYCrCb, moved);
    cv::Mat before, after;
    cv::cvtColor(a, before, cv::COLOR_BGR2YCrCb);
    cv::cvtColor(lumaOnly, after, cv::COLOR_BGR2YCrCb);
    cv::Mat lumaBefore, lumaAfter;
    cv::extractChannel(before, lumaBefore, 0);
    cv::extractChannel(after, lumaAfter, 0);
    EXPECT_GT(cv::norm(lumaBefore, lumaAfter, cv::NORM_L1), 0.0);

    // RGB: slider 1 is blue.
    cv::Mat rgb = source.clone();
    ChannelSliders blueOnly = neutral;
    blueOnly.contrast[0] = 0;
    AdjustChannels(rgb, kColourRgb, blueOnly);
    std::vector<cv::Mat> planes;
    cv::split(rgb, planes);
    EXPECT_EQ(cv::countNonZero(planes[0] != 128), 0);
}

} // namespace
