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
