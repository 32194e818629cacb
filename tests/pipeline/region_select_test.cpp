#include "pipeline/stages/ZoomCut.h"
#include "pipeline/stages/Flip.h"
#include "pipeline/stages/RegionSelect.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

namespace {

const cv::Size kPicture(640, 480);

TEST(RegionFromSelection, MirroredPictureAtFullSize)
{
    const auto region = RegionFromSelection({ 100, 50 }, { 300, 200 }, 1.0f, 1.0f, kPicture, kFlipMirror);
    ASSERT_TRUE(region);
    EXPECT_EQ(region->zoomRect, cv::Rect(340, 50, 200, 150));
    EXPECT_EQ(region->effectRect, cv::Rect(100, 50, 200, 150));

    // Dragged up, left, or both: the same rectangles.
    for (auto [press, release] : { std::pair<cv::Point, cv::Point> { { 300, 200 }, { 100, 50 } },
             { { 300, 50 }, { 100, 200 } }, { { 100, 200 }, { 300, 50 } } }) {
        const auto other = RegionFromSelection(press, release, 1.0f, 1.0f, kPicture, kFlipMirror);
        ASSERT_TRUE(other);
        EXPECT_EQ(other->zoomRect, region->zoomRect);
        EXPECT_EQ(other->effectRect, region->effectRect);
    }
}

TEST(RegionFromSelection, HalfDisplaySizeDoublesTheCoordinates)
{
    const auto region = RegionFromSelection({ 100, 50 }, { 300, 200 }, 2.0f, 2.0f, kPicture, kFlipMirror);
    ASSERT_TRUE(region);
    EXPECT_EQ(region->effectRect, cv::Rect(200, 100, 400, 300)); // left′ 200 top′ 100 right′ 600 bottom′ 400
    EXPECT_EQ(region->zoomRect, cv::Rect(40, 100, 400, 300));
    // Three-quarter size: products truncated toward zero.
    const auto quarter = RegionFromSelection({ 101, 51 }, { 301, 201 }, 640.0f / 480.0f, 480.0f / 360.0f, kPicture, kFlipNone);
    ASSERT_TRUE(quarter);
    EXPECT_EQ(quarter->effectRect, cv::Rect(134, 68, 266, 200));
}

TEST(RegionFromSelection, ClipsToThePictureAndIgnoresEmptySelections)
{
    const auto beyond = RegionFromSelection({ 600, 400 }, { 900, 700 }, 1.0f, 1.0f, kPicture, kFlipMirror);
    ASSERT_TRUE(beyond);
    EXPECT_EQ(beyond->effectRect, cv::Rect(600, 400, 40, 80));
    EXPECT_EQ(beyond->zoomRect, cv::Rect(0, 400, 40, 80));

    const auto leftUp = RegionFromSelection({ 50, 40 }, { -30, -20 }, 1.0f, 1.0f, kPicture, kFlipNone);
    ASSERT_TRUE(leftUp);
    EXPECT_EQ(leftUp->effectRect, cv::Rect(0, 0, 50, 40));

    EXPECT_FALSE(RegionFromSelection({ 100, 50 }, { 100, 200 }, 1.0f, 1.0f, kPicture, kFlipMirror)); // no width
    EXPECT_FALSE(RegionFromSelection({ 100, 50 }, { 300, 50 }, 1.0f, 1.0f, kPicture, kFlipMirror));  // no height
    EXPECT_FALSE(RegionFromSelection({ 650, 10 }, { 700, 90 }, 1.0f, 1.0f, kPicture, kFlipMirror));  // right of it
    EXPECT_FALSE(RegionFromSelection({ -90, -50 }, { -10, -5 }, 1.0f, 1.0f, kPicture, kFlipMirror)); // above-left
}

TEST(ClientToPicture, RoundsHalfUpInFloat)
{
    EXPECT_EQ(ClientToPicture({ 10, 20 }, 1.0f, 1.0f), cv::Point(10, 20));
    EXPECT_EQ(ClientToPicture({ 10, 21 }, 2.0f, 2.0f), cv::Point(20, 42));
    EXPECT_EQ(ClientToPicture({ 3, 3 }, 0.5f, 1.5f), cv::Point(2, 5)); // 1.5 + 0.5, 4.5 + 0.5
    EXPECT_TRUE(SelectionMayStartAt({ 0, 0 }, { 320, 240 }));
    EXPECT_FALSE(SelectionMayStartAt({ 320, 10 }, { 320, 240 }));
    EXPECT_FALSE(SelectionMayStartAt({ 10, 240 }, { 320, 240 }));
    EXPECT_FALSE(SelectionMayStartAt({ -1, 10 }, { 320, 240 }));
}

// The user drags around a spot on the picture as shown; the zoomed picture must show that spot
// in every flip mode, the right way round.
class ZoomShowsTheDraggedSpot : public ::testing::TestWithParam<int> {};

TEST_P(ZoomShowsTheDraggedSpot, InEveryFlipMode)
{
    const int flipMode = GetParam();
    // Camera frame: grey, a red square whose top-left quarter is green (its orientation shows).
    cv::Mat raw(kPicture, CV_8UC3, cv::Scalar(90, 90, 90));
    const cv::Rect spot(400, 100, 40, 40);
    raw(spot).setTo(cv::Scalar(0, 0, 255));
    raw(cv::Rect(spot.tl(), cv::Size(20, 20))).setTo(cv::Scalar(0, 255, 0));

    cv::Mat shown = raw.clone();
    ApplyFlip(shown, flipMode);
    cv::Mat greyMask;
    cv::inRange(shown, cv::Scalar(90, 90, 90), cv::Scalar(90, 90, 90), greyMask);
    const cv::Rect spotShown = cv::boundingRect(~greyMask);
    ASSERT_EQ(spotShown.size(), spot.size());

    // Display at half size: client = picture / 2; drag exactly around the spot.
    const auto region = RegionFromSelection(spotShown.tl() / 2, spotShown.br() / 2, 2.0f, 2.0f, kPicture, flipMode);
    ASSERT_TRUE(region);
    EXPECT_EQ(region->effectRect, spotShown);
    EXPECT_EQ(region->zoomRect, spot);

    cv::Mat work(kPicture, CV_8UC3);
    TakeWorkFrame(raw, work, region->zoomRect);
    ApplyFlip(work, flipMode);
    // The zoomed picture is the shown spot scaled up: compare with the shown spot, magnified.
    cv::Mat expected;
    cv::resize(shown(spotShown), expected, kPicture, 0, 0, cv::INTER_NEAREST);
    cv::Mat difference;
    cv::absdiff(work, expected, difference);
    // Only the seams between green and red are blended by the bilinear scaling.
    EXPECT_LT(cv::countNonZero(difference.reshape(1) > 8), kPicture.area() * 3 / 50);
    EXPECT_EQ(cv::countNonZero(greyMask(spotShown)), 0);
}

INSTANTIATE_TEST_SUITE_P(FlipModes, ZoomShowsTheDraggedSpot,
    ::testing::Values(kFlipMirror, kFlipMirrorUpsideDown, kFlipUpsideDown, kFlipNone));

TEST(TakeWorkFrame, CutsCopiesOrScales)
{
    const cv::Mat raw = RandomFrame(160, 120, 31);
    cv::Mat work(120, 160, CV_8UC3);
    const uchar* buffer = work.data;

    // Scaling straight from the view equals cutting a copy first, and the buffer is kept.
    const cv::Rect zoom(30, 20, 50, 40);
    TakeWorkFrame(raw, work, zoom);
    cv::Mat cut = raw(zoom).clone();
    cv::Mat expected;
    cv::resize(cut, expected, work.size(), 0, 0, cv::INTER_LINEAR);
    EXPECT_TRUE(SameBytes(work, expected));
    EXPECT_EQ(work.data, buffer);

    TakeWorkFrame(raw, work, std::nullopt);
    EXPECT_TRUE(SameBytes(work, raw));

    // A zoom rectangle partly outside the frame is cut at its edge; wholly outside: plain copy.
    TakeWorkFrame(raw, work, cv::Rect(140, 100, 50, 50));
    cv::resize(raw(cv::Rect(140, 100, 20, 20)), expected, work.size(), 0, 0, cv::INTER_LINEAR);
    EXPECT_TRUE(SameBytes(work, expected));
    TakeWorkFrame(raw, work, cv::Rect(500, 500, 10, 10));
    EXPECT_TRUE(SameBytes(work, raw));

    // A camera of another size is scaled to the picture.
    cv::Mat small(60, 80, CV_8UC3);
    TakeWorkFrame(raw, small, std::nullopt);
    EXPECT_EQ(small.size(), cv::Size(80, 60));
}

} // namespace
