#include "pipeline/stages/OpticalFlow.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>
#include <opencv2/video/tracking.hpp>

#include <optional>

namespace {

const cv::Scalar kRed(0, 0, 255);

// Blurred noise: plenty of corners that the tracker can hold on to.
cv::Mat Textured(std::uint64_t seed, cv::Size size = { 320, 240 })
{
    cv::Mat frame = RandomFrame(size.width, size.height, seed);
    cv::GaussianBlur(frame, frame, cv::Size(5, 5), 1.2);
    return frame;
}

int PixelsOfColour(const cv::Mat& frame, const cv::Scalar& colour)
{
    cv::Mat mask;
    cv::inRange(frame, colour, colour, mask);
    return cv::countNonZero(mask);
}

TEST(FlowCompaction, ClickWithinFiveRemovesAtFivePointOneAdds)
{
    cv::Mat none;
    std::vector<uchar> status { 1, 1, 1 };
    std::vector<cv::Point2f> points { { 10, 10 }, { 100, 100 }, { 104, 103 } };
    std::optional<cv::Point> click = cv::Point(105, 100); // exactly 5 from the second dot
    CompactFlowPoints(points, status, click, none, kRed);
    EXPECT_FALSE(click);
    ASSERT_EQ(points.size(), 2u); // only the first dot within reach goes
    EXPECT_EQ(points[1], cv::Point2f(104, 103));

    points = { { 99.9f, 100.0f } };
    status = { 1 };
    click = cv::Point(105, 100); // 5.1 away
    CompactFlowPoints(points, status, click, none, kRed);
    EXPECT_TRUE(click);
    EXPECT_EQ(points.size(), 1u);

    EXPECT_TRUE(ClickRemovesDot({ 3, 4 }, { 0, 0 }));
    EXPECT_FALSE(ClickRemovesDot({ 3.0f, 4.1f }, { 0, 0 }));
}

TEST(FlowCompaction, LostDotsGoAndKeptDotsAreDrawn)
{
    cv::Mat frame(50, 50, CV_8UC3, cv::Scalar::all(0));
    std::vector<cv::Point2f> points { { 10.4f, 10.6f }, { 30, 30 }, { 40, 20 } };
    const std::vector<uchar> status { 1, 0, 1 };
    std::optional<cv::Point> click;
    CompactFlowPoints(points, status, click, frame, kRed);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_EQ(points[1], cv::Point2f(40, 20));
    EXPECT_EQ(frame.at<cv::Vec3b>(11, 10), cv::Vec3b(0, 0, 255)); // rounded centre
    EXPECT_EQ(frame.at<cv::Vec3b>(30, 30), cv::Vec3b(0, 0, 0));
    EXPECT_GT(PixelsOfColour(frame, kRed), 2 * 20); // filled discs of radius 3
}

class FlowPlay : public ::testing::Test {
protected:
    FlowState flow;
    cv::Mat scene = Textured(1);

    cv::Mat Run(const cv::Mat& picture)
    {
        cv::Mat frame = picture.clone();
        TrackFlow(frame, flow);
        return frame;
    }
};

TEST_F(FlowPlay, DetectionShowsNoDotsUntilTheNextFrame)
{
    flow.SetColour(kRed);
    flow.RequestDetection();
    cv::Mat first = Run(scene);
    EXPECT_TRUE(SameBytes(first, scene));
    EXPECT_GT(flow.PointCount(), 50);
    EXPECT_LE(flow.PointCount(), FlowState::kMostPoints);

    cv::Mat second = Run(scene);
    EXPECT_GT(PixelsOfColour(second, kRed), flow.PointCount() * 10);
}

TEST_F(FlowPlay, FlatPictureGivesNoDotsAndClicksComeInAfterTheFirstRun)
{
    const cv::Mat flat(240, 320, CV_8UC3, cv::Scalar(80, 80, 80));
    flow.RequestPoint({ 50, 50 }); // before the stage ever ran: ignored
    flow.RequestDetection();
    Run(flat);
    EXPECT_EQ(flow.PointCount(), 0);
    EXPECT_FALSE(flow.PointPending());

    flow.RequestPoint({ 100, 80 });
    EXPECT_TRUE(flow.PointPending());
    Run(scene);
    EXPECT_EQ(flow.PointCount(), 1);
    EXPECT_FALSE(flow.PointPending());
}

TEST_F(FlowPlay, DotsFollowMotion)
{
    const cv::Mat big = Textured(2, { 400, 300 });
    const cv::Mat a = big(cv::Rect(40, 30, 320, 240)).clone();
    const cv::Mat b = big(cv::Rect(37, 32, 320, 240)).clone(); // content moves by (+3, −2)
    flow.RequestDetection();
    Run(a);
    const std::vector<cv::Point2f> before = flow.Points();
    Run(b);
    const std::vector<cv::Point2f> after = flow.Points();
    ASSERT_GT(after.size(), before.size() * 8 / 10);
    int following = 0;
    for (const cv::Point2f& p : after)
        for (const cv::Point2f& q : before)
            if (cv::norm(p - (q + cv::Point2f(3, -2))) < 0.5)
                ++following;
    EXPECT_GT(following, static_cast<int>(after.size()) * 9 / 10);
}

TEST_F(FlowPlay, ClickNearADotRemovesItElseAdds)
{
    flow.RequestDetection();
    Run(scene);
    Run(scene);
    const int count = flow.PointCount();
    const cv::Point2f dot = flow.Points()[count / 2];
    flow.RequestPoint(cv::Point(cvRound(dot.x), cvRound(dot.y)));
    Run(scene);
    EXPECT_EQ(flow.PointCount(), count - 1);
    EXPECT_FALSE(flow.PointPending());
    flow.RequestPoint(cv::Point(cvRound(dot.x), cvRound(dot.y)));
    Run(scene);
    EXPECT_EQ(flow.PointCount(), count); // the dot is gone, so this click adds one
}

TEST_F(FlowPlay, FullSetAddsNothingAndTheClickWaits)
{
    const cv::Mat busy = Textured(3, { 640, 480 });
    flow.RequestDetection();
    Run(busy);
    ASSERT_EQ(flow.PointCount(), FlowState::kMostPoints);
    Run(busy);
    // Refill to the cap with clicks on empty spots, if tracking lost any.
    for (int i = 0; flow.PointCount() < FlowState::kMostPoints && i < 50; ++i) {
        flow.RequestPoint({ 5 + i, 5 });
        Run(busy);
    }
    ASSERT_EQ(flow.PointCount(), FlowState::kMostPoints);
    // A point away from all dots is not within 5 of any: check, then click there.
    cv::Point far(-1, -1);
    for (int y = 20; y < 460 && far.x < 0; y += 3)
        for (int x = 20; x < 620 && far.x < 0; x += 3) {
            bool clear = true;
            for (const cv::Point2f& p : flow.Points())
                clear = clear && !ClickRemovesDot(p, { x, y });
            if (clear)
                far = { x, y };
        }
    ASSERT_GE(far.x, 0);
    flow.RequestPoint(far);
    Run(busy);
    EXPECT_EQ(flow.PointCount(), FlowState::kMostPoints);
    EXPECT_TRUE(flow.PointPending()); // waits until a dot is dropped or the play is left
    flow.Reset();
    EXPECT_FALSE(flow.PointPending());
}

TEST_F(FlowPlay, NightModeLeavesOnlyDotsAndTracks)
{
    flow.SetColour(kRed);
    flow.RequestDetection();
    Run(scene);
    flow.SetNight(true);
    const cv::Mat dark = Run(scene);
    const int red = PixelsOfColour(dark, kRed);
    EXPECT_GT(red, 0);
    EXPECT_EQ(PixelsOfColour(dark, cv::Scalar::all(0)) + red, dark.rows * dark.cols);
    const int count = flow.PointCount();
    Run(scene);
    EXPECT_EQ(flow.PointCount(), count); // still tracked in the dark
}

TEST_F(FlowPlay, ResetStartsAgainWithNoDots)
{
    flow.SetNight(true);
    flow.RequestDetection();
    Run(scene);
    ASSERT_GT(flow.PointCount(), 0);
    flow.Reset();
    EXPECT_EQ(flow.PointCount(), 0);
    EXPECT_FALSE(flow.Night());
    const cv::Mat frame = Run(scene);
    EXPECT_EQ(flow.PointCount(), 0);
    EXPECT_TRUE(SameBytes(frame, scene));
}

TEST(FlowTracking, CachedPyramidsEqualTrackingFromImages)
{
    const cv::Mat big = Textured(4, { 400, 300 });
    cv::Mat a, b;
    cv::cvtColor(big(cv::Rect(40, 30, 320, 240)), a, cv::COLOR_BGR2GRAY);
    cv::cvtColor(big(cv::Rect(38, 31, 320, 240)), b, cv::COLOR_BGR2GRAY);
    std::vector<cv::Point2f> start;
    cv::goodFeaturesToTrack(a, start, 500, 0.01, 10, cv::noArray(), 3, false, 0.04);
    const cv::TermCriteria stop(cv::TermCriteria::COUNT | cv::TermCriteria::EPS, 20, 0.03);

    std::vector<cv::Point2f> fromImages, fromPyramids;
    std::vector<uchar> s1, s2;
    cv::calcOpticalFlowPyrLK(a, b, start, fromImages, s1, cv::noArray(), { 10, 10 }, 3, stop);
    std::vector<cv::Mat> pa, pb;
    cv::buildOpticalFlowPyramid(a, pa, { 10, 10 }, 3, true, cv::BORDER_REFLECT_101, cv::BORDER_CONSTANT, false);
    cv::buildOpticalFlowPyramid(b, pb, { 10, 10 }, 3, true, cv::BORDER_REFLECT_101, cv::BORDER_CONSTANT, false);
    cv::calcOpticalFlowPyrLK(pa, pb, start, fromPyramids, s2, cv::noArray(), { 10, 10 }, 3, stop);
    ASSERT_EQ(fromImages.size(), fromPyramids.size());
    EXPECT_EQ(s1, s2);
    for (std::size_t i = 0; i < fromImages.size(); ++i)
        ASSERT_EQ(fromImages[i], fromPyramids[i]) << i;
}

TEST(FlowTracking, BackgroundDetectionReadyByTheNextFrameGivesTheSameFrames)
{
    FlowState inFrame;
    FlowState background;
    background.SetBackgroundDetection(true);
    inFrame.RequestDetection();
    background.RequestDetection();
    const cv::Mat base = Textured(5);
    for (int n = 0; n < 6; ++n) {
        cv::Mat shifted;
        const cv::Mat shift = (cv::Mat_<double>(2, 3) << 1, 0, n, 0, 1, n / 2);
        cv::warpAffine(base, shifted, shift, base.size(), cv::INTER_LINEAR, cv::BORDER_REFLECT);
        cv::Mat a = shifted.clone();
        cv::Mat b = shifted.clone();
        TrackFlow(a, inFrame);
        TrackFlow(b, background);
        ASSERT_TRUE(SameBytes(a, b)) << n;
        if (n == 0) {
            EXPECT_EQ(background.PointCount(), 0); // still detecting; no dots either way
            background.WaitForDetection();
            continue;
        }
        ASSERT_EQ(inFrame.Points(), background.Points()) << n;
    }
    EXPECT_GT(inFrame.PointCount(), 50);
}

} // namespace
