#include "pipeline/capture/CameraModes.h"

#include <gtest/gtest.h>

namespace {

const std::uint32_t kH264 = FourCc('H', '2', '6', '4');

// The usual USB 2.0 webcam: uncompressed pictures above 640 × 480 are held back by the bus,
// Motion-JPEG reaches 30 a second at every size.
std::vector<CameraMode> UsualWebcam()
{
    return {
        { kFourCcYuyv, false, { 640, 480 }, { 30, 15 } },
        { kFourCcYuyv, false, { 1280, 720 }, { 10, 5 } },
        { kFourCcYuyv, false, { 1920, 1080 }, { 5 } },
        { kFourCcMjpeg, true, { 640, 480 }, { 30, 15 } },
        { kFourCcMjpeg, true, { 1280, 720 }, { 30, 15 } },
        { kFourCcMjpeg, true, { 1920, 1080 }, { 30, 15 } },
    };
}

TEST(CameraModesTest, EachSizeGetsTheFormatThatReachesTheHighestRate)
{
    const std::vector<CameraMode> modes = UsualWebcam();
    const auto small = ChooseMode(modes, { 640, 480 });
    ASSERT_TRUE(small);
    EXPECT_EQ(small->fourcc, kFourCcYuyv); // uncompressed at 30 costs no decoding
    EXPECT_DOUBLE_EQ(small->rate, 30);
    for (const cv::Size size : { cv::Size(1280, 720), cv::Size(1920, 1080) }) {
        const auto choice = ChooseMode(modes, size);
        ASSERT_TRUE(choice);
        EXPECT_EQ(choice->fourcc, kFourCcMjpeg) << size;
        EXPECT_TRUE(choice->compressed);
        EXPECT_DOUBLE_EQ(choice->rate, 30);
        EXPECT_EQ(choice->size, size);
    }
    EXPECT_FALSE(ChooseMode(modes, { 800, 600 })); // not offered
}

TEST(CameraModesTest, UncompressedWinsFromTwentyFiveAndRatesAboveThirtyAreNotUsed)
{
    // 25 uncompressed beats 30 compressed; 60 counts as the 30 it is used at.
    const std::vector<CameraMode> modes {
        { kFourCcMjpeg, true, { 1280, 720 }, { 60, 30 } },
        { kFourCcYuyv, false, { 1280, 720 }, { 25 } },
        { kFourCcMjpeg, true, { 1920, 1080 }, { 60 } },
        { kFourCcYuyv, false, { 1920, 1080 }, { 24 } },
    };
    EXPECT_EQ(ChooseMode(modes, { 1280, 720 })->fourcc, kFourCcYuyv);
    const auto large = ChooseMode(modes, { 1920, 1080 });
    EXPECT_EQ(large->fourcc, kFourCcMjpeg); // 24 uncompressed is too slow
    EXPECT_DOUBLE_EQ(large->rate, 60);      // the only rate it offers
    EXPECT_DOUBLE_EQ(UsableRate({ kFourCcMjpeg, true, { 1, 1 }, { 60, 30, 15 } }), 30);
    EXPECT_DOUBLE_EQ(UsableRate({ kFourCcMjpeg, true, { 1, 1 }, {} }), 0);
}

TEST(CameraModesTest, FormatsNothingHereCanDecodeAreLeftOut)
{
    const std::vector<CameraMode> modes {
        { kH264, true, { 1920, 1080 }, { 30 } },
        { kFourCcYuyv, false, { 1920, 1080 }, { 5 } },
        { kH264, true, { 3840, 2160 }, { 30 } },
    };
    EXPECT_EQ(ChooseMode(modes, { 1920, 1080 })->fourcc, kFourCcYuyv);
    EXPECT_FALSE(ChooseMode(modes, { 3840, 2160 }));
    EXPECT_EQ(SizeOffers(modes).size(), 1u);
}

TEST(CameraModesTest, OffersListEverySizeOnceWithItsRateAndDefaultIsTheLargestSmoothOneUpTo1080p)
{
    const std::vector<ModeChoice> offers = SizeOffers(UsualWebcam());
    ASSERT_EQ(offers.size(), 3u);
    EXPECT_EQ(offers[0].size, cv::Size(640, 480));
    EXPECT_FALSE(offers[0].compressed);
    EXPECT_EQ(offers[2].size, cv::Size(1920, 1080));
    EXPECT_TRUE(offers[2].compressed);
    for (const ModeChoice& offer : offers)
        EXPECT_DOUBLE_EQ(offer.rate, 30);
    EXPECT_EQ(DefaultSize(UsualWebcam()), cv::Size(1920, 1080));

    // A 4K camera still starts at 1080p; one without Motion-JPEG at the largest size that keeps 25.
    std::vector<CameraMode> fourK = UsualWebcam();
    fourK.push_back({ kFourCcMjpeg, true, { 3840, 2160 }, { 30 } });
    EXPECT_EQ(DefaultSize(fourK), cv::Size(1920, 1080));
    const std::vector<CameraMode> usual = UsualWebcam();
    const std::vector<CameraMode> rawOnly(usual.begin(), usual.begin() + 3);
    EXPECT_EQ(DefaultSize(rawOnly), cv::Size(640, 480));
    // Nothing reaches 25: the fastest, the larger of equals.
    EXPECT_EQ(DefaultSize({ { kFourCcYuyv, false, { 320, 240 }, { 15 } }, { kFourCcYuyv, false, { 640, 480 }, { 15 } },
                  { kFourCcYuyv, false, { 1280, 720 }, { 7.5 } } }),
        cv::Size(640, 480));
    EXPECT_FALSE(DefaultSize({}));
}

TEST(CameraModesTest, FourCcTextSpellsTheCode)
{
    EXPECT_EQ(FourCcText(kFourCcMjpeg), "MJPG");
    EXPECT_EQ(FourCcText(0), "????");
    EXPECT_TRUE(IsJpegFormat(kFourCcJpeg));
    EXPECT_FALSE(IsUsableFormat(kH264));
}

} // namespace
