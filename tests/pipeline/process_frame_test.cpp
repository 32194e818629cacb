#include "pipeline/stages/ColourAdjust.h"
#include "pipeline/stages/Doodle.h"
#include "pipeline/stages/EffectStyles.h"
#include "pipeline/stages/Flip.h"
#include "pipeline/stages/GrainRandom.h"
#include "pipeline/stages/OpticalFlow.h"
#include "pipeline/stages/ProcessFrame.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>

namespace {

class ProcessFrameOrder : public ::testing::Test {
protected:
    PictureSettings settings;
    FlowState flow;
    DoodleLayer doodle;
    GrainRandom random;
    const cv::Mat picture = RandomFrame(64, 48, 77);

    cv::Mat Process()
    {
        cv::Mat frame = picture.clone();
        ProcessFrame(frame, settings, flow, doodle, random);
        return frame;
    }
};

TEST_F(ProcessFrameOrder, DefaultSettingsOnlyMirror)
{
    cv::Mat expected = picture.clone();
    ApplyFlip(expected, kFlipMirror);
    EXPECT_TRUE(SameBytes(Process(), expected));
}

TEST_F(ProcessFrameOrder, FlipColourAndStyleRunInThatOrder)
{
    settings.flipMode = kFlipUpsideDown;
    settings.channelsDefault = false;
    settings.colourModel = kColourHsv;
    settings.sliders.brightness = { 100, 160, 70 };
    settings.effectStyle = kEffectGrain;
    settings.effectRegionOn = true;
    settings.effectRect = cv::Rect(0, 0, 20, 10); // picture pixels after the flip
    GrainRandom same;
    cv::Mat expected = picture.clone();
    ApplyFlip(expected, kFlipUpsideDown);
    AdjustChannels(expected, kColourHsv, settings.sliders);
    ApplyGrain(expected, same, settings.effectRect);
    EXPECT_TRUE(SameBytes(Process(), expected));
}

TEST_F(ProcessFrameOrder, DoodleLiesOverEffectsAndDots)
{
    settings.effectStyle = kEffectNegative;
    settings.doodleShown = true;
    settings.flowOn = true;
    flow.SetColour(cv::Scalar(0, 255, 0));
    Process(); // the flow stage runs once before it takes clicks
    flow.RequestPoint({ 20, 20 });
    Process();
    ASSERT_EQ(flow.PointCount(), 1);
    const cv::Point dot(cvRound(flow.Points()[0].x), cvRound(flow.Points()[0].y));
    doodle.Clear({ 64, 48 });
    doodle.BeginStroke({ 0, dot.y });
    doodle.ExtendStroke({ 63, dot.y }, cv::Scalar(10, 20, 30), 1);
    const cv::Mat frame = Process();
    ASSERT_EQ(flow.PointCount(), 1);
    EXPECT_EQ(frame.at<cv::Vec3b>(dot), cv::Vec3b(10, 20, 30));                     // over the dot
    EXPECT_EQ(frame.at<cv::Vec3b>(dot + cv::Point(0, 1)), cv::Vec3b(0, 255, 0));   // the dot, over the negative
    cv::Mat negative = picture.clone();
    ApplyFlip(negative, kFlipMirror);
    ApplyNegative(negative);
    EXPECT_EQ(frame.at<cv::Vec3b>((dot.y + 20) % 48, 5), negative.at<cv::Vec3b>((dot.y + 20) % 48, 5));
}

} // namespace
