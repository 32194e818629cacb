// The picture scaled to the display size: thin lines survive, flat areas stay flat, every display
// pixel is the mean of the picture pixels it covers, and the two display buffers never overwrite
// an image still being shown.
#include "pipeline/compose/Present.h"
#include "pipeline/compose/AreaShrink.h"

#include <gtest/gtest.h>

#include <QColor>

#include <opencv2/imgproc.hpp>

#include <cmath>
#include <random>
#include <tuple>

namespace {

constexpr QRgb kBackground = 0xFFFFFFFF;
constexpr QRgb kInk = 0xFF000000;

QImage Picture(int w, int h, QRgb fill)
{
    QImage picture(w, h, QImage::Format_ARGB32_Premultiplied);
    picture.fill(fill);
    return picture;
}

QImage RandomPicture(int w, int h, unsigned seed)
{
    QImage picture(w, h, QImage::Format_ARGB32_Premultiplied);
    std::mt19937 random(seed);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < w; ++x)
            row[x] = qRgb(random() & 0xFF, random() & 0xFF, random() & 0xFF); // opaque, as the camera picture
    }
    return picture;
}

QSize Quarters(QSize picture, int quarters)
{
    return { picture.width() * quarters / 4, picture.height() * quarters / 4 };
}

// The exact mean of the picture pixels under each display pixel, rounded half up, per channel.
QImage AreaMean(const QImage& picture, QSize size)
{
    QImage mean(size, QImage::Format_ARGB32_Premultiplied);
    const double sx = double(picture.width()) / size.width();
    const double sy = double(picture.height()) / size.height();
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            double sum[4] = {};
            for (int py = int(y * sy); py < std::ceil((y + 1) * sy); ++py)
                for (int px = int(x * sx); px < std::ceil((x + 1) * sx); ++px) {
                    const double wy = std::min<double>(py + 1, (y + 1) * sy) - std::max<double>(py, y * sy);
                    const double wx = std::min<double>(px + 1, (x + 1) * sx) - std::max<double>(px, x * sx);
                    const QRgb p = picture.pixel(px, py);
                    const int samples[4] = { qBlue(p), qGreen(p), qRed(p), qAlpha(p) };
                    for (int c = 0; c < 4; ++c)
                        sum[c] += wx * wy * samples[c];
                }
            int v[4];
            for (int c = 0; c < 4; ++c)
                v[c] = int(std::floor(sum[c] / (sx * sy) + 0.5 + 1e-9));
            mean.setPixel(x, y, qRgba(v[2], v[1], v[0], v[3]));
        }
    return mean;
}

int LargestSampleDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = b.pixel(x, y);
            largest = std::max({ largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                std::abs(qBlue(p) - qBlue(q)), std::abs(qAlpha(p) - qAlpha(q)) });
        }
    return largest;
}

// Picture sizes: the two camera sizes, one whose three quarters are not whole groups of four, and
// odd sizes that take the general path.
const QSize kSizes[] = { { 640, 480 }, { 1920, 1080 }, { 52, 20 }, { 213, 50 } };

class ReducedDisplay : public ::testing::TestWithParam<std::tuple<QSize, int>> {};

TEST_P(ReducedDisplay, OnePixelLinesStayUnbrokenAtOddAndEvenPositions)
{
    const auto [size, quarters] = GetParam();
    const QSize display = Quarters(size, quarters);
    QImage shown(display, QImage::Format_ARGB32_Premultiplied);
    for (bool across : { true, false }) {
        // A line across the picture at row `at`, or down it at column `at`.
        const int length = across ? size.width() : size.height();
        const int span = across ? size.height() : size.width();
        for (int at : { 0, 9, 10, span - 1 }) {
            QImage picture = Picture(size.width(), size.height(), kBackground);
            for (int i = 0; i < length; ++i)
                picture.setPixel(across ? i : at, across ? at : i, kInk);
            ScaleByAreaInto(picture, shown);
            // Some display row (or column) carries the line over its whole length.
            bool unbroken = false;
            for (int j = 0; j < (across ? display.height() : display.width()) && !unbroken; ++j) {
                unbroken = true;
                for (int i = 0; i < (across ? display.width() : display.height()) && unbroken; ++i)
                    unbroken = shown.pixel(across ? i : j, across ? j : i) != kBackground;
            }
            EXPECT_TRUE(unbroken) << (across ? "row " : "column ") << at;
        }
    }
}

TEST_P(ReducedDisplay, UniformPictureStaysUniform)
{
    const auto [size, quarters] = GetParam();
    const QRgb colour = qRgb(37, 140, 201);
    QImage shown(Quarters(size, quarters), QImage::Format_ARGB32_Premultiplied);
    ScaleByAreaInto(Picture(size.width(), size.height(), colour), shown);
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            ASSERT_EQ(shown.pixel(x, y), colour) << x << "," << y;
}

INSTANTIATE_TEST_SUITE_P(PictureSizes, ReducedDisplay, ::testing::Combine(::testing::ValuesIn(kSizes), ::testing::Values(3, 2)),
    [](const auto& info) {
        const QSize size = std::get<0>(info.param);
        return std::to_string(size.width()) + "x" + std::to_string(size.height()) + "_quarters"
            + std::to_string(std::get<1>(info.param));
    });

TEST(DisplayScale, EachDisplayPixelIsTheMeanOfThePictureUnderIt)
{
    for (QSize size : { QSize(640, 480), QSize(52, 20), QSize(213, 50) })
        for (int quarters : { 3, 2 }) {
            const QImage picture = RandomPicture(size.width(), size.height(), unsigned(size.width() * quarters));
            const QSize display = Quarters(size, quarters);
            QImage shown(display, QImage::Format_ARGB32_Premultiplied);
            ScaleByAreaInto(picture, shown);
            // Halves and three quarters are exact; other ratios may round a sample the other way.
            const bool exact = display.width() * 4 == size.width() * quarters
                && display.height() * 4 == size.height() * quarters;
            EXPECT_LE(LargestSampleDifference(shown, AreaMean(picture, display)), exact ? 0 : 1)
                << size.width() << "x" << size.height() << " quarters " << quarters;
        }
}

// Any other shrinking size gives OpenCV's own area-averaged bytes (its general path, which the
// program replaces with a faster one): odd sizes, one axis a whole factor, nearly the same size,
// and the window-fitted size of a 1080p picture. Growing and whole factors are left to OpenCV.
TEST(DisplayScale, OtherSizesAreOpenCvsAreaAverageByteForByte)
{
    const std::pair<QSize, QSize> cases[] = { { { 1920, 1080 }, { 1161, 653 } }, { { 640, 480 }, { 500, 300 } },
        { { 97, 61 }, { 50, 33 } }, { { 101, 7 }, { 100, 5 } }, { { 640, 480 }, { 320, 301 } },
        { { 33, 480 }, { 32, 160 } }, { { 1280, 720 }, { 1279, 719 } }, { { 7, 5 }, { 2, 2 } } };
    for (const auto& [size, display] : cases) {
        const QImage picture = RandomPicture(size.width(), size.height(), unsigned(display.width()));
        QImage shown(display, QImage::Format_ARGB32_Premultiplied);
        ScaleByAreaInto(picture, shown);
        const cv::Mat source(picture.height(), picture.width(), CV_8UC4, const_cast<uchar*>(picture.constBits()),
            static_cast<size_t>(picture.bytesPerLine()));
        const cv::Mat mine(shown.height(), shown.width(), CV_8UC4, shown.bits(), static_cast<size_t>(shown.bytesPerLine()));
        cv::Mat theirs;
        cv::resize(source, theirs, mine.size(), 0, 0, cv::INTER_AREA);
        EXPECT_EQ(cv::norm(mine, theirs, cv::NORM_INF), 0) << size.width() << "x" << size.height() << " to "
                                                         << display.width() << "x" << display.height();
    }
    cv::Mat grown(10, 10, CV_8UC4), halved(5, 5, CV_8UC4);
    EXPECT_FALSE(ShrinkByAreaExact(cv::Mat(5, 5, CV_8UC4, cv::Scalar::all(1)), grown));
    EXPECT_FALSE(ShrinkByAreaExact(cv::Mat(10, 10, CV_8UC4, cv::Scalar::all(1)), halved));
}

TEST(DisplayBuffers, FullSizeIsThePictureItself)
{
    const QImage picture = RandomPicture(64, 48, 3);
    DisplayBuffers buffers;
    const QImage shown = buffers.Stretch(picture, picture.size());
    EXPECT_EQ(shown.constBits(), picture.constBits());
}

TEST(DisplayBuffers, AnImageStillShownKeepsItsPixels)
{
    DisplayBuffers buffers;
    const QSize display(48, 36);
    const QImage first = buffers.Stretch(Picture(64, 48, kInk), display);
    // The next two frames go to the other buffer and then to a fresh one, never into `first`.
    const QImage second = buffers.Stretch(Picture(64, 48, kBackground), display);
    const QImage third = buffers.Stretch(Picture(64, 48, kBackground), display);
    EXPECT_NE(second.constBits(), first.constBits());
    EXPECT_NE(third.constBits(), first.constBits());
    EXPECT_EQ(first.pixel(10, 10), kInk);
    EXPECT_EQ(third.pixel(10, 10), kBackground);
}

} // namespace
