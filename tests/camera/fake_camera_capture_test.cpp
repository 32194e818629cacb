#include "FakeCameraRig.h"

#include "pipeline/capture/CameraList.h"
#include "pipeline/capture/CameraSource.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

class FakeCameraCaptureTest : public FakeCameraRig { };

const CameraInfo* FindFake(const std::vector<CameraInfo>& cameras)
{
    const auto it = std::find_if(cameras.begin(), cameras.end(), [](const CameraInfo& c) { return c.source == "40"; });
    return it == cameras.end() ? nullptr : &*it;
}

TEST_F(FakeCameraCaptureTest, TheCamerasTableGivesEachSizeItsFastestFormat)
{
    DeviceCameraList list(MakeSystemVideoDevices());
    const std::vector<CameraInfo> cameras = list.Cameras();
    const CameraInfo* fake = FindFake(cameras);
    ASSERT_NE(fake, nullptr) << "the fake node is listed with the system's";
    EXPECT_EQ(fake->name, "Fake UVC Camera");
    const std::vector<cv::Size> sizes { { 640, 480 }, { 1280, 720 }, { 1920, 1080 } };
    EXPECT_EQ(fake->sizes, sizes);
    const std::vector<ModeChoice> offers = SizeOffers(fake->modes);
    ASSERT_EQ(offers.size(), 3u);
    EXPECT_EQ(offers[0].fourcc, kFourCcYuyv);
    EXPECT_EQ(offers[1].fourcc, kFourCcMjpeg);
    EXPECT_EQ(offers[2].fourcc, kFourCcMjpeg);
    for (const ModeChoice& offer : offers)
        EXPECT_DOUBLE_EQ(offer.rate, 30) << offer.size;
    EXPECT_EQ(DefaultSize(fake->modes), cv::Size(1920, 1080));
}

TEST_F(FakeCameraCaptureTest, TenEightyIsMotionJpegAtThirtyWithEveryFrameOnceInOrder)
{
    CameraSource source("40");
    source.AskForSize({ 1920, 1080 });
    ASSERT_TRUE(source.Open());
    const std::optional<CameraAgreement> agreed = source.Agreement();
    ASSERT_TRUE(agreed);
    EXPECT_EQ(agreed->fourcc, kFourCcMjpeg);
    EXPECT_EQ(agreed->size, cv::Size(1920, 1080));
    EXPECT_DOUBLE_EQ(agreed->rate, 30);
    EXPECT_EQ(agreed->device, "/dev/video40");

    std::vector<std::uint32_t> numbers;
    std::vector<Clock::time_point> taken;
    for (int i = 0; i < 40; ++i) {
        cv::Mat frame;
        ASSERT_TRUE(source.Read(frame)) << i;
        ASSERT_EQ(frame.size(), cv::Size(1920, 1080));
        const std::optional<std::uint32_t> number = ReadFakeFrameNumber(frame);
        ASSERT_TRUE(number);
        numbers.push_back(*number);
        ASSERT_TRUE(source.LastCaptureTime()) << "stamped by the camera's buffer time";
        taken.push_back(*source.LastCaptureTime());
    }
    source.Release();
    // Never a frame twice; and the buffer times (the camera's clock, not this test's) say 30 a
    // second over the frames' own numbers.
    for (std::size_t i = 1; i < numbers.size(); ++i)
        ASSERT_GT(numbers[i], numbers[i - 1]) << i;
    const double perFrameMs = std::chrono::duration<double, std::milli>(taken.back() - taken.front()).count()
        / double(numbers.back() - numbers.front());
    EXPECT_NEAR(perFrameMs, 1000.0 / 30, 0.5);
}

TEST_F(FakeCameraCaptureTest, ASizeTheCameraLacksOpensAtItsOwnBestSizeAndSaysWhatWasAsked)
{
    CameraSource small("40");
    small.AskForSize({ 640, 480 });
    ASSERT_TRUE(small.Open());
    EXPECT_EQ(small.Agreement()->fourcc, kFourCcYuyv) << "uncompressed where it keeps 30";
    cv::Mat frame;
    ASSERT_TRUE(small.Read(frame));
    EXPECT_EQ(frame.size(), cv::Size(640, 480));
    small.Release();

    CameraSource odd("40");
    odd.AskForSize({ 800, 600 });
    ASSERT_TRUE(odd.Open());
    EXPECT_EQ(odd.Agreement()->size, cv::Size(1920, 1080));
    EXPECT_EQ(odd.Agreement()->asked, cv::Size(800, 600));
    ASSERT_TRUE(odd.Read(frame));
    EXPECT_EQ(frame.size(), cv::Size(1920, 1080)) << "never scaled to a size the camera did not give";
}

TEST_F(FakeCameraCaptureTest, FramesCutShortAreDroppedQuietlyWithoutAStall)
{
    Tell("cut_every=2\n");
    CameraSource source("40");
    source.AskForSize({ 1280, 720 });
    ASSERT_TRUE(source.Open());
    testing::internal::CaptureStderr();
    int good = 0;
    int dropped = 0;
    for (int i = 0; i < 24; ++i) {
        cv::Mat frame;
        if (source.Read(frame)) {
            ++good;
            EXPECT_TRUE(ReadFakeFrameNumber(frame)) << "a picture whole from top to bottom";
        } else {
            ++dropped;
        }
    }
    EXPECT_GT(good, 6);
    EXPECT_GT(dropped, 6);

    // Only broken frames: nothing comes, promptly each time, which the loop counts as a lost
    // camera after its two seconds.
    Tell("broken=1\n");
    cv::Mat frame;
    for (int i = 0; i < 4; ++i)
        source.Read(frame); // frames already on their way
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < 10; ++i)
        EXPECT_FALSE(source.Read(frame));
    EXPECT_LT(Clock::now() - start, std::chrono::seconds(2)) << "each read returns with the next frame";
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(FakeCameraCaptureTest, AnUnpluggedCameraGivesNothingAndOpensAgainWhenBack)
{
    CameraSource source("40");
    source.AskForSize({ 640, 480 });
    ASSERT_TRUE(source.Open());
    cv::Mat frame;
    ASSERT_TRUE(source.Read(frame));
    Tell("unplugged=1\n");
    EXPECT_FALSE(source.Read(frame));
    source.Release();
    EXPECT_FALSE(source.Open());
    DeviceCameraList list(MakeSystemVideoDevices());
    EXPECT_EQ(FindFake(list.Cameras()), nullptr);

    Tell("unplugged=0\n");
    ASSERT_TRUE(source.Open());
    EXPECT_TRUE(source.Read(frame));
}

} // namespace
