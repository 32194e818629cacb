#include "pipeline/capture/MjpegDecoder.h"

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <vector>

namespace {

std::vector<std::uint8_t> Jpeg(const cv::Mat& picture)
{
    std::vector<std::uint8_t> data;
    cv::imencode(".jpg", picture, data, { cv::IMWRITE_JPEG_QUALITY, 90 });
    return data;
}

cv::Mat Pattern()
{
    cv::Mat picture(120, 160, CV_8UC3);
    for (int y = 0; y < picture.rows; ++y)
        for (int x = 0; x < picture.cols; ++x)
            picture.at<cv::Vec3b>(y, x) = cv::Vec3b(uchar(x), uchar(2 * y), uchar(x + y));
    return picture;
}

TEST(MjpegDecoderTest, WholeFramesDecodeToBgrAndPaddingAfterTheEndIsAllowed)
{
    const cv::Mat picture = Pattern();
    std::vector<std::uint8_t> data = Jpeg(picture);
    data.resize(data.size() + 100, 0); // a driver's buffer padded with zeros
    MjpegDecoder decoder;
    cv::Mat bgr;
    ASSERT_TRUE(decoder.Decode(data.data(), data.size(), bgr));
    ASSERT_EQ(bgr.size(), picture.size());
    ASSERT_EQ(bgr.type(), CV_8UC3);
    cv::Mat difference;
    cv::absdiff(bgr, picture, difference);
    EXPECT_LT(cv::mean(difference)[0], 4.0); // the colours, not swapped channels
}

TEST(MjpegDecoderTest, FramesCutShortOrDamagedAreRefusedQuietlyAndLeaveThePictureAlone)
{
    const std::vector<std::uint8_t> whole = Jpeg(Pattern());
    MjpegDecoder decoder;
    cv::Mat bgr(8, 8, CV_8UC3, cv::Scalar(1, 2, 3));
    const cv::Mat before = bgr.clone();
    testing::internal::CaptureStderr();
    // Cut short as a USB hiccup leaves it, cut and padded, a damaged body, nothing, no image.
    std::vector<std::uint8_t> cut(whole.begin(), whole.begin() + whole.size() * 6 / 10);
    EXPECT_FALSE(decoder.Decode(cut.data(), cut.size(), bgr));
    cut.resize(cut.size() + 64, 0);
    EXPECT_FALSE(decoder.Decode(cut.data(), cut.size(), bgr));
    std::vector<std::uint8_t> damaged = whole;
    for (std::size_t i = damaged.size() / 2; i < damaged.size() / 2 + 40; ++i)
        damaged[i] = 0xFF; // markers where the scan data was
    EXPECT_FALSE(decoder.Decode(damaged.data(), damaged.size(), bgr));
    EXPECT_FALSE(decoder.Decode(nullptr, 0, bgr));
    const std::vector<std::uint8_t> notJpeg { 0xFF, 0xD8, 0x00, 0x11, 0xFF, 0xD9 };
    EXPECT_FALSE(decoder.Decode(notJpeg.data(), notJpeg.size(), bgr));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(cv::norm(bgr, before, cv::NORM_INF), 0);
    // And it goes on decoding good frames after bad ones.
    EXPECT_TRUE(decoder.Decode(whole.data(), whole.size(), bgr));
}

TEST(MjpegDecoderTest, WholeJpegCheckLooksAtBothMarkers)
{
    EXPECT_TRUE(LooksLikeWholeJpeg(std::vector<std::uint8_t> { 0xFF, 0xD8, 0xFF, 0xD9 }.data(), 4));
    EXPECT_TRUE(LooksLikeWholeJpeg(std::vector<std::uint8_t> { 0xFF, 0xD8, 0xFF, 0xD9, 0, 0 }.data(), 6));
    EXPECT_FALSE(LooksLikeWholeJpeg(std::vector<std::uint8_t> { 0xFF, 0xD8, 0xFF, 0xD0 }.data(), 4));
    EXPECT_FALSE(LooksLikeWholeJpeg(std::vector<std::uint8_t> { 0x00, 0xD8, 0xFF, 0xD9 }.data(), 4));
}

} // namespace
