#include "pipeline/capture/BoothSceneSource.h"
#include "pipeline/capture/FrameSource.h"
#include "pipeline/capture/TestSceneSource.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <QTemporaryDir>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
// OpenCV's capture back-ends enumerate USB devices and keep what libusb hands them for the
// process's lifetime; those allocations are not ours to report.
struct SystemCaptureAllocations {
    SystemCaptureAllocations() { __lsan_disable(); }
    ~SystemCaptureAllocations() { __lsan_enable(); }
};
#else
struct SystemCaptureAllocations {
};
#endif

TEST(FrameSources, TestSceneIsVgaAndMoves)
{
    auto source = MakeFrameSourceFactory("test")();
    ASSERT_TRUE(source->Open());
    EXPECT_EQ(source->FrameSize(), cv::Size(640, 480));
    cv::Mat a = TestSceneSource::Render(0);
    cv::Mat b = TestSceneSource::Render(15);
    ASSERT_EQ(a.size(), cv::Size(640, 480));
    EXPECT_EQ(a.type(), CV_8UC3);
    EXPECT_GT(cv::norm(a, b, cv::NORM_L1), 0.0);
    // Plenty of corners for the dot game to follow.
    cv::Mat grey;
    cv::cvtColor(a, grey, cv::COLOR_BGR2GRAY);
    std::vector<cv::Point2f> corners;
    cv::goodFeaturesToTrack(grey, corners, 100, 0.01, 10);
    EXPECT_GE(corners.size(), 30u);
}

TEST(FrameSources, TestSceneTakesASizeAndKeepsItsPicture)
{
    EXPECT_EQ(TestSceneSize("test:1920x1080"), cv::Size(1920, 1080));
    EXPECT_EQ(TestSceneSize("test:16x16"), cv::Size(16, 16));
    EXPECT_EQ(TestSceneSize("test:7680x4320"), cv::Size(7680, 4320));
    for (const char* bad : { "test", "test:", "test:640", "test:0x480", "test:640x", "test:x480", "test:640x480x2",
             "test:-640x480", "test:99999x480", "test:7681x100", "test:1x1", "test:15x480", "test:640x15", "test:640x4321", "tests:640x480", "0" })
        EXPECT_FALSE(TestSceneSize(bad).has_value()) << bad;

    auto source = MakeFrameSourceFactory("test:1920x1080")();
    ASSERT_TRUE(source->Open());
    EXPECT_EQ(source->FrameSize(), cv::Size(1920, 1080));
    EXPECT_TRUE(source->PacesItself()); // a camera stand-in: read on the loop's grabber thread
    const cv::Mat big = TestSceneSource::Render(4, { 1920, 1080 });
    ASSERT_EQ(big.size(), cv::Size(1920, 1080));
    // The same scene, scaled: shrunk back it is close to the 640 × 480 one.
    cv::Mat shrunk;
    cv::resize(big, shrunk, cv::Size(640, 480), 0, 0, cv::INTER_AREA);
    EXPECT_LT(cv::norm(shrunk, TestSceneSource::Render(4), cv::NORM_L1) / (640.0 * 480 * 3), 8.0);
    source->Release();
}

TEST(FrameSources, MissingFileFailsToOpenAndReadsNothing)
{
    QTemporaryDir dir;
    [[maybe_unused]] SystemCaptureAllocations ignore;
    auto source = MakeFrameSourceFactory(dir.filePath("nothing.avi").toStdString())();
    EXPECT_FALSE(source->Open());
    cv::Mat frame;
    EXPECT_FALSE(source->Read(frame));
    source->Release();
}

TEST(FrameSources, VideoFilePlaysOnFromItsStartWhenItEnds)
{
    QTemporaryDir dir;
    const std::string path = dir.filePath("clip.avi").toStdString();
    {
        cv::VideoWriter writer(path, cv::VideoWriter::fourcc('M', 'J', 'P', 'G'), 30, cv::Size(160, 120));
        if (!writer.isOpened())
            GTEST_SKIP() << "no video writer in this OpenCV build";
        for (int i = 0; i < 5; ++i)
            writer.write(cv::Mat(120, 160, CV_8UC3, cv::Scalar(i * 40, 0, 0)));
    }
    [[maybe_unused]] SystemCaptureAllocations ignore;
    auto source = MakeFrameSourceFactory(path)();
    ASSERT_TRUE(source->Open());
    EXPECT_EQ(source->FrameSize(), cv::Size(160, 120));
    // Two rounds and a bit: every read gives a frame, and after the fifth the first comes again.
    cv::Mat frame;
    std::vector<double> blues;
    for (int i = 0; i < 12; ++i) {
        ASSERT_TRUE(source->Read(frame)) << i;
        blues.push_back(cv::mean(frame)[0]);
    }
    for (int i = 0; i < 5; ++i) {
        EXPECT_NEAR(blues[i], i * 40, 3) << i;
        EXPECT_NEAR(blues[i + 5], blues[i], 1) << i;
    }
    source->Release();
}

TEST(FrameSources, BoothScenesAreNamedLikeTheTestScene)
{
    const auto booth = BoothSceneName("test:booth");
    ASSERT_TRUE(booth);
    EXPECT_EQ(booth->scene, BoothScene::Room);
    EXPECT_EQ(booth->size, cv::Size(640, 480));
    const auto green = BoothSceneName("test:green:1280x720");
    ASSERT_TRUE(green);
    EXPECT_EQ(green->scene, BoothScene::GreenCloth);
    EXPECT_EQ(green->size, cv::Size(1280, 720));
    for (const char* bad : { "test:booth:", "test:booth:15x480", "test:green:640", "test:boothy", "test:green:640x480x2", "booth", "test" })
        EXPECT_FALSE(BoothSceneName(bad)) << bad;
    for (const char* name : { "test", "test:640x480", "test:booth", "test:green:320x240" })
        EXPECT_TRUE(IsTestSceneName(name)) << name;
    for (const char* name : { "test:", "test:booth:1x1", "0", "clip.mp4" })
        EXPECT_FALSE(IsTestSceneName(name)) << name;

    auto source = MakeFrameSourceFactory("test:green:320x240")();
    ASSERT_TRUE(source->Open());
    EXPECT_EQ(source->FrameSize(), cv::Size(320, 240));
    EXPECT_TRUE(source->PacesItself());
    source->Release();
}

TEST(FrameSources, BoothSceneBringsInAPersonWhoseOutlineIsKnown)
{
    cv::Mat truth, again;
    const cv::Mat empty = BoothSceneSource::Render(BoothScene::Room, BoothSceneSource::kPersonEnters - 1, { 640, 480 }, &truth);
    EXPECT_EQ(cv::countNonZero(truth), 0);
    const cv::Mat standing = BoothSceneSource::Render(BoothScene::Room, 150, { 640, 480 }, &truth);
    // Drawn from the number alone: the same frame twice, noise and all.
    EXPECT_TRUE(cv::norm(standing, BoothSceneSource::Render(BoothScene::Room, 150, { 640, 480 }, &again), cv::NORM_INF) == 0);
    const int area = cv::countNonZero(truth >= 128);
    EXPECT_GT(area, 640 * 480 / 12);
    EXPECT_LT(area, 640 * 480 / 4);
    // The picture changed where the person is and only there (beyond the noise).
    cv::Mat difference;
    cv::absdiff(standing, empty, difference);
    cv::cvtColor(difference, difference, cv::COLOR_BGR2GRAY);
    EXPECT_GT(cv::mean(difference, truth == 255)[0], 30);
    EXPECT_LT(cv::mean(difference, truth == 0)[0], 5);
    // The arm waves: the outline changes between standing frames.
    cv::Mat later;
    BoothSceneSource::Render(BoothScene::Room, 160, { 640, 480 }, &later);
    EXPECT_GT(cv::countNonZero((truth >= 128) != (later >= 128)), 300);
    // Another size is the same drawing.
    BoothSceneSource::Render(BoothScene::Room, 150, { 1280, 960 }, &again);
    EXPECT_NEAR(cv::countNonZero(again >= 128) / 4.0, area, area * 0.02);
    // The green scene has the same person before the cloth.
    BoothSceneSource::Render(BoothScene::GreenCloth, 150, { 640, 480 }, &again);
    EXPECT_TRUE(cv::norm(truth, again, cv::NORM_INF) == 0);
}

TEST(FrameSources, BoothSceneExposureFallsByFifteenPercentAndComesBack)
{
    const cv::Rect wall(300, 20, 100, 40); // above the person's head
    auto wallBrightness = [&](int n) { return cv::mean(BoothSceneSource::Render(BoothScene::Room, n)(wall))[1]; };
    const double steady = wallBrightness(200);
    EXPECT_NEAR(wallBrightness(BoothSceneSource::kExposureChanges + 135) / steady, 0.85, 0.01);
    EXPECT_NEAR(wallBrightness(BoothSceneSource::kExposureChanges + 225) / steady, 0.925, 0.01);
    EXPECT_NEAR(wallBrightness(BoothSceneSource::kExposureChanges + 300) / steady, 1.0, 0.01);
    EXPECT_EQ(BoothSceneSource::Exposure(BoothScene::GreenCloth, 330), 1.0);
}

TEST(FrameSources, BoothPersonStepsOutWhenAskedAndComesBackAfterTheLearning)
{
    BoothSceneSource source(BoothScene::Room, false);
    ASSERT_TRUE(source.Open());
    cv::Mat frame, truth;
    const cv::Mat emptyRoom = BoothSceneSource::Render(BoothScene::Room, 0);
    auto personShown = [&](const cv::Mat& f) {
        cv::Mat difference;
        cv::absdiff(f, emptyRoom, difference);
        return cv::countNonZero(difference.reshape(1) > 60) > 2000;
    };
    for (int i = 0; i < 300; ++i)
        ASSERT_TRUE(source.Read(frame));
    ASSERT_TRUE(personShown(frame));
    source.AskToLeaveThePicture();
    // Gone before the countdown of three seconds ends, and away through the learnt second, with
    // the sensor's noise still changing from frame to frame.
    int goneAt = -1;
    cv::Mat previous;
    for (int i = 0; i < BoothSceneSource::kAwayFrames; ++i) {
        ASSERT_TRUE(source.Read(frame));
        if (goneAt < 0 && !personShown(frame))
            goneAt = i;
        if (goneAt >= 0 && i > goneAt) {
            EXPECT_FALSE(personShown(frame)) << i;
            EXPECT_GT(cv::norm(frame, previous, cv::NORM_L1), 0) << i;
        }
        previous = frame.clone();
    }
    ASSERT_GE(goneAt, 0);
    EXPECT_LT(goneAt, 3 * 30 - 10);
    EXPECT_GT(BoothSceneSource::kAwayFrames, (3 + 1) * 30);
    // Then the person walks in again.
    for (int i = 0; i < BoothSceneSource::kPersonStands; ++i)
        ASSERT_TRUE(source.Read(frame));
    EXPECT_TRUE(personShown(frame));
}
