#include "pipeline/stages/ColourAdjust.h"
#include "pipeline/stages/Doodle.h"
#include "pipeline/stages/EffectStyles.h"
#include "pipeline/stages/Flip.h"
#include "pipeline/stages/FunEffect.h"
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

// The fun effect works on the whole picture after the style (a region limits only the style),
// and the doodle lies over it unbent: a stroke on the right half is not mirrored to the left.
TEST_F(ProcessFrameOrder, FunEffectFollowsTheStyleOnTheWholePictureUnderTheDoodle)
{
    settings.effectStyle = kEffectNegative;
    settings.effectRegionOn = true;
    settings.effectRect = cv::Rect(0, 0, 20, 48);
    settings.funEffect = kFunMirror;
    settings.doodleShown = true;
    doodle.Clear({ 64, 48 });
    doodle.BeginStroke({ 50, 30 });
    doodle.ExtendStroke({ 60, 30 }, cv::Scalar(10, 20, 30), 1);
    cv::Mat expected = picture.clone();
    ApplyFlip(expected, kFlipMirror);
    cv::Mat region = expected(settings.effectRect);
    ApplyNegative(region);
    ApplyMirrorLeft(expected);
    const cv::Mat frame = Process();
    EXPECT_EQ(frame.at<cv::Vec3b>(30, 55), cv::Vec3b(10, 20, 30));
    EXPECT_EQ(frame.at<cv::Vec3b>(30, 63 - 55), expected.at<cv::Vec3b>(30, 63 - 55));
    cv::Mat withoutStroke = frame.clone();
    cv::Mat expectedWithoutStroke = expected.clone();
    withoutStroke.row(30).setTo(cv::Scalar::all(0));
    expectedWithoutStroke.row(30).setTo(cv::Scalar::all(0));
    EXPECT_TRUE(SameBytes(withoutStroke, expectedWithoutStroke));

    // The state handed in is the one used: the old film's frames follow the number given.
    settings.doodleShown = false;
    settings.effectStyle = kEffectNone;
    settings.funEffect = kFunOldFilm;
    FunEffectState mine(3), same(3);
    FunInput fun { &mine, std::nullopt, 40, {} };
    cv::Mat film = picture.clone();
    ProcessFrame(film, settings, flow, doodle, random, nullptr, nullptr, fun);
    cv::Mat filmExpected = picture.clone();
    ApplyFlip(filmExpected, kFlipMirror);
    ApplyFunEffect(filmExpected, kFunOldFilm, same, std::nullopt, 40);
    EXPECT_TRUE(SameBytes(film, filmExpected));
}

} // namespace
