#include "pipeline/record/BurstStrip.h"

#include <gtest/gtest.h>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

const cv::Vec3b kWhite(255, 255, 255);

cv::Mat Flat(cv::Size size, cv::Vec3b colour)
{
    return cv::Mat(size, CV_8UC3, cv::Scalar(colour[0], colour[1], colour[2]));
}

int SamplesDiffering(const cv::Mat& area, cv::Vec3b colour)
{
    cv::Mat difference;
    cv::absdiff(area, Flat(area.size(), colour), difference);
    return cv::countNonZero(difference.reshape(1));
}

TEST(BurstStrip, FourShotsLandInTheirQuartersOnAWhiteCard)
{
    const cv::Size shot(320, 240);
    const std::array<cv::Vec3b, 4> colours{cv::Vec3b(0, 0, 200), cv::Vec3b(0, 200, 0), cv::Vec3b(200, 0, 0),
                                           cv::Vec3b(0, 200, 200)};
    // The last shot came at another size: it is scaled into its cell.
    const std::array<cv::Mat, 4> shots{Flat(shot, colours[0]), Flat(shot, colours[1]), Flat(shot, colours[2]),
                                       Flat({640, 480}, colours[3])};
    const cv::Mat strip = ComposeBurstStrip(shots, std::time_t(1'000'000'000));
    const BurstStripLayout layout = LayOutBurstStrip(shot);
    ASSERT_EQ(strip.size(), layout.card);
    ASSERT_EQ(strip.type(), CV_8UC3);
    EXPECT_GT(layout.card.width, 2 * shot.width);
    EXPECT_GT(layout.card.height, 2 * shot.height);

    // Shots 0 and 1 side by side on top, 2 and 3 under them, in the card's left and right halves.
    const auto& cells = layout.cells;
    EXPECT_EQ(cells[0].y, cells[1].y);
    EXPECT_EQ(cells[2].y, cells[3].y);
    EXPECT_EQ(cells[0].x, cells[2].x);
    EXPECT_EQ(cells[1].x, cells[3].x);
    EXPECT_GT(cells[1].x, cells[0].br().x);
    EXPECT_GT(cells[2].y, cells[0].br().y);
    EXPECT_LT(cells[0].br().x, layout.card.width / 2);
    EXPECT_GT(cells[1].x, layout.card.width / 2);
    for (int i = 0; i < 4; ++i) {
        const cv::Rect cell = cells[i];
        EXPECT_EQ(cell.size(), shot);
        EXPECT_EQ(cell & cv::Rect({0, 0}, layout.card), cell);
        EXPECT_EQ(SamplesDiffering(strip(cell), colours[i]), 0) << "cell " << i;
        // The card shows round every cell.
        EXPECT_EQ(strip.at<cv::Vec3b>(cell.y - 1, cell.x - 1), kWhite);
        EXPECT_EQ(strip.at<cv::Vec3b>(cell.br().y, cell.br().x), kWhite);
    }
    EXPECT_EQ(strip.at<cv::Vec3b>(0, 0), kWhite);
    EXPECT_EQ(strip.at<cv::Vec3b>(strip.rows - 1, strip.cols - 1), kWhite);
    // The date line is drawn inside the card, under the grid.
    ASSERT_GT(layout.dateLine.y, layout.cells[3].br().y - 1);
    ASSERT_LE(layout.dateLine.br().y, layout.card.height);
    const cv::Mat dateArea = strip(layout.dateLine);
    EXPECT_GT(SamplesDiffering(dateArea, kWhite), 0);
}

TEST(BurstStrip, AMissingShotLeavesItsCellWhiteAndNoFirstShotGivesNothing)
{
    const cv::Size shot(160, 120);
    const std::array<cv::Mat, 4> shots{Flat(shot, {1, 2, 3}), cv::Mat(), Flat(shot, {1, 2, 3}), Flat(shot, {1, 2, 3})};
    const cv::Mat strip = ComposeBurstStrip(shots, std::time_t(0));
    const cv::Rect cell = LayOutBurstStrip(shot).cells[1];
    EXPECT_EQ(SamplesDiffering(strip(cell), kWhite), 0);
    EXPECT_TRUE(ComposeBurstStrip({cv::Mat(), shots[0], shots[0], shots[0]}, 0).empty());
}

class BurstSequenceTest : public ::testing::Test {
protected:
    void At(milliseconds t) { now = Clock::time_point(std::chrono::hours(5)) + t; }
    Clock::time_point now = Clock::time_point(std::chrono::hours(5));
    BurstSequence sequence{[this] { return now; }};
};

TEST_F(BurstSequenceTest, FourShotsOneSecondApart)
{
    EXPECT_EQ(sequence.TakeDueShot(), -1); // not started
    sequence.Start();
    EXPECT_EQ(sequence.TakeDueShot(), 0);
    EXPECT_EQ(sequence.TakeDueShot(), -1);
    At(milliseconds(400));
    EXPECT_EQ(sequence.TakeDueShot(), -1);
    EXPECT_EQ(sequence.untilNextShot(), milliseconds(600));
    At(milliseconds(1000));
    EXPECT_EQ(sequence.TakeDueShot(), 1);
    At(milliseconds(2030)); // a tick a little late keeps the schedule
    EXPECT_EQ(sequence.TakeDueShot(), 2);
    EXPECT_EQ(sequence.untilNextShot(), milliseconds(970));
    At(milliseconds(3000));
    EXPECT_EQ(sequence.TakeDueShot(), 3);
    EXPECT_FALSE(sequence.running());
    EXPECT_EQ(sequence.shotsTaken(), 4);
    At(milliseconds(4000));
    EXPECT_EQ(sequence.TakeDueShot(), -1);
}

TEST_F(BurstSequenceTest, ALateShotMovesTheRestOnAndCancelStops)
{
    sequence.Start();
    EXPECT_EQ(sequence.TakeDueShot(), 0);
    At(milliseconds(2700)); // the interface was busy for a while
    EXPECT_EQ(sequence.TakeDueShot(), 1);
    At(milliseconds(3000)); // shot 2 would have been due, but never right after shot 1
    EXPECT_EQ(sequence.TakeDueShot(), -1);
    At(milliseconds(3700));
    EXPECT_EQ(sequence.TakeDueShot(), 2);
    sequence.Cancel();
    At(milliseconds(4700));
    EXPECT_EQ(sequence.TakeDueShot(), -1);
    EXPECT_EQ(sequence.untilNextShot(), Clock::duration::zero());
    sequence.Start(); // a new burst starts from the first shot
    EXPECT_EQ(sequence.TakeDueShot(), 0);
}

} // namespace
