#include "pipeline/stages/EffectStyles.h"
#include "pipeline/stages/Flip.h"
#include "pipeline/stages/GrainRandom.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <cstdlib>
#include <vector>

namespace {

// Per-sample indexing, the way the outline is defined.
void ReferenceFineOutline(cv::Mat& frame)
{
    const cv::Mat copy = frame.clone();
    auto P = [&](int x, int y, int s) { return static_cast<int>(copy.at<cv::Vec3b>(y, x)[s]); };
    for (int y = 1; y < frame.rows - 1; ++y)
        for (int x = 1; x < frame.cols - 1; ++x)
            for (int s = 0; s < 3; ++s) {
                const int gy = P(x - 1, y - 1, s) + 2 * P(x, y - 1, s) + P(x + 1, y - 1, s) - P(x - 1, y + 1, s)
                    - 2 * P(x, y + 1, s) - P(x + 1, y + 1, s);
                const int gx = P(x - 1, y - 1, s) + 2 * P(x - 1, y, s) + P(x - 1, y + 1, s) - P(x + 1, y - 1, s)
                    - 2 * P(x + 1, y, s) - P(x + 1, y + 1, s);
                const int v = std::abs(gx) + std::abs(gy);
                frame.at<cv::Vec3b>(y, x)[s] = static_cast<uchar>(v > 255 ? 255 : v);
            }
}

// Grain the long way: planes, the C library's rand() per luma sample, the formula per sample.
void ReferenceGrain(cv::Mat& frame, cv::Rect area)
{
    cv::Mat target = frame(area);
    cv::Mat ycc;
    cv::cvtColor(target, ycc, cv::COLOR_BGR2YCrCb);
    std::vector<cv::Mat> planes;
    cv::split(ycc, planes);
    for (int y = 0; y < ycc.rows; ++y) {
        uchar* luma = planes[0].ptr<uchar>(y);
        for (int x = 0; x < ycc.cols; ++x) {
            const int r = std::rand() % 21;
            const double t = r + 1.7 * luma[x] - 10;
            luma[x] = cv::saturate_cast<uchar>(t * t / 255);
        }
    }
    for (int c = 1; c < 3; ++c)
        for (int y = 0; y < ycc.rows; ++y) {
            uchar* chroma = planes[c].ptr<uchar>(y);
            for (int x = 0; x < ycc.cols; ++x)
                chroma[x] = static_cast<uchar>((chroma[x] - 128) / 2 + 128);
        }
    cv::merge(planes, ycc);
    cv::cvtColor(ycc, target, cv::COLOR_YCrCb2BGR);
}

TEST(GrainRandom, ReproducesTheCLibrarySequence)
{
    for (unsigned seed : { 0u, 1u, 42u, 1700000000u, 0xFFFFFFFFu }) {
        std::srand(seed);
        GrainRandom random(seed);
        for (int i = 0; i < 2000; ++i)
            ASSERT_EQ(random.Next(), std::rand()) << "seed " << seed << " draw " << i;
    }
}

TEST(GrainRandom, FillingInBlocksKeepsTheSequence)
{
    std::srand(5);
    GrainRandom random(5);
    std::vector<int> block(40);
    for (int n : { 1, 2, 3, 4, 7, 31, 32, 33, 40, 0, 5 }) {
        random.Fill(block.data(), n);
        for (int k = 0; k < n; ++k)
            ASSERT_EQ(block[k], std::rand()) << n << " " << k;
        ASSERT_EQ(random.Next(), std::rand());
    }
}

TEST(GrainRandom, LevelsAreTheSequenceModulo21AcrossRunsAndCalls)
{
    GrainRandom levels(9);
    GrainRandom values(9);
    std::vector<std::uint8_t> got(5000);
    // Short calls take the value-by-value path; long ones cross the vector runs and their ends.
    for (int n : { 1, 63, 64, 65, 1023, 1024, 1025, 2, 4999, 100, 0, 3000 }) {
        levels.FillLevels(got.data(), n);
        for (int k = 0; k < n; ++k)
            ASSERT_EQ(got[k], values.Next() % 21) << n << " " << k;
        ASSERT_EQ(levels.Next(), values.Next()) << n;
    }
}

TEST(Grain, LumaCurveAndChromaHalving)
{
    EXPECT_EQ(GrainLuma(0, 0), 0); // 100 / 255 rounds to 0
    EXPECT_EQ(GrainLuma(20, 0), 0);
    EXPECT_EQ(GrainLuma(0, 50), 22);
    EXPECT_EQ(GrainLuma(0, 150), 235);
    EXPECT_EQ(GrainLuma(20, 150), 255);
    for (int r = 0; r <= 20; ++r)
        EXPECT_EQ(GrainLuma(r, 255), 255) << r;
    EXPECT_EQ(GrainChroma(0), 64);
    EXPECT_EQ(GrainChroma(128), 128);
    EXPECT_EQ(GrainChroma(255), 191);
    EXPECT_EQ(GrainChroma(1), 65);   // −127 / 2 truncates toward zero
    EXPECT_EQ(GrainChroma(127), 128);
}

TEST(Grain, EqualsPerSampleFormulaWithRand)
{
    const cv::Rect areas[] = { { 0, 0, 83, 59 }, { 10, 7, 40, 30 }, { 70, 50, 13, 9 } };
    unsigned seed = 11;
    for (const cv::Rect& area : areas) {
        for (bool regional : { false, true }) {
            cv::Mat fast = RandomFrame(83, 59, seed);
            cv::Mat reference = fast.clone();
            GrainRandom random(seed);
            std::srand(seed);
            // Two frames in a row: the sequence carries on from frame to frame.
            for (int frame = 0; frame < 2; ++frame) {
                ApplyGrain(fast, random, regional ? std::optional<cv::Rect>(area) : std::nullopt);
                ReferenceGrain(reference, regional ? area : cv::Rect(0, 0, 83, 59));
            }
            ASSERT_TRUE(SameBytes(fast, reference)) << area << " regional " << regional;
            ++seed;
        }
    }
}

TEST(Grain, StripsAcrossTheCoresGiveTheWholeFrameBytes)
{
    // Frames of many strips, a region of odd size among them, two frames in a row each.
    const cv::Size sizes[] = { { 1920, 1080 }, { 1001, 203 } };
    unsigned seed = 40;
    for (const cv::Size& size : sizes) {
        const cv::Rect whole(0, 0, size.width, size.height);
        const cv::Rect regions[] = { whole, { 17, 3, size.width / 2 + 1, size.height - 9 } };
        for (const cv::Rect& area : regions) {
            cv::Mat fast = RandomFrame(size.width, size.height, seed);
            cv::Mat reference = fast.clone();
            GrainRandom random(seed);
            std::srand(seed);
            for (int frame = 0; frame < 2; ++frame) {
                ApplyGrain(fast, random, area);
                ReferenceGrain(reference, area);
            }
            ASSERT_TRUE(SameBytes(fast, reference)) << size << " " << area;
            ++seed;
        }
    }
}

TEST(Grain, EveryColourEqualsTheReference)
{
    // All 16,777,216 colours, one per pixel: the fused conversion must give cv::cvtColor's bytes
    // for each, whichever noise level it meets.
    cv::Mat fast(4096, 4096, CV_8UC3);
    uchar* sample = fast.ptr<uchar>();
    for (int colour = 0; colour < (1 << 24); ++colour, sample += 3) {
        sample[0] = static_cast<uchar>(colour);
        sample[1] = static_cast<uchar>(colour >> 8);
        sample[2] = static_cast<uchar>(colour >> 16);
    }
    cv::Mat reference = fast.clone();
    GrainRandom random(3);
    std::srand(3);
    ApplyGrain(fast, random);
    ReferenceGrain(reference, cv::Rect(0, 0, 4096, 4096));
    EXPECT_TRUE(SameBytes(fast, reference));
}

TEST(Grain, EveryGreyMeetsEveryLevelInVectorsAndAlone)
{
    // A grey's luma is the grey. Every noise level must meet every luma (the curve is worked out
    // per level and luma), in the vector kernels of each build and in the per-pixel steps that end
    // a row: 2000 pixels of each grey across a row, and 15-pixel rows, too narrow for a vector.
    struct Layout {
        int cols;
        int rowsPerGrey;
    };
    ForEachKernelBuild([](bool wide) {
        for (Layout layout : { Layout { 2000, 1 }, Layout { 15, 140 } }) {
            cv::Mat fast(256 * layout.rowsPerGrey, layout.cols, CV_8UC3);
            for (int y = 0; y < fast.rows; ++y)
                fast.row(y).setTo(cv::Scalar::all(y / layout.rowsPerGrey));
            cv::Mat reference = fast.clone();
            GrainRandom random(11);
            std::srand(11);
            ApplyGrain(fast, random);
            ReferenceGrain(reference, cv::Rect(0, 0, fast.cols, fast.rows));
            EXPECT_TRUE(SameBytes(fast, reference)) << layout.cols << (wide ? " wide" : "");
        }
    });
}

TEST(FineOutline, FlatPictureGivesBlackInsideAndKeepsTheBorder)
{
    cv::Mat frame(20, 30, CV_8UC3, cv::Scalar(90, 140, 200));
    ApplyFineOutline(frame);
    const cv::Rect inside(1, 1, 28, 18);
    EXPECT_EQ(cv::countNonZero(frame(inside).reshape(1)), 0);
    cv::Mat border = frame.clone();
    border(inside).setTo(cv::Scalar(90, 140, 200));
    EXPECT_TRUE(SameBytes(border, cv::Mat(20, 30, CV_8UC3, cv::Scalar(90, 140, 200))));
}

TEST(FineOutline, RowLoopEqualsPerSampleIndexing)
{
    for (cv::Size size : { cv::Size(3, 3), cv::Size(2, 9), cv::Size(131, 77) }) {
        cv::Mat fast = RandomFrame(size.width, size.height, size.area());
        cv::Mat reference = fast.clone();
        ApplyFineOutline(fast);
        ReferenceFineOutline(reference);
        ASSERT_TRUE(SameBytes(fast, reference)) << size;
    }
    // A view into a larger picture (rows not contiguous) works the same.
    cv::Mat big = RandomFrame(100, 80, 5);
    cv::Mat view = big(cv::Rect(10, 10, 60, 50));
    cv::Mat reference = view.clone();
    ApplyFineOutline(view);
    ReferenceFineOutline(reference);
    EXPECT_TRUE(SameBytes(view, reference));
}

TEST(Negative, InvertsEverySample)
{
    cv::Mat black(5, 7, CV_8UC3, cv::Scalar::all(0));
    ApplyNegative(black);
    EXPECT_TRUE(SameBytes(black, cv::Mat(5, 7, CV_8UC3, cv::Scalar::all(255))));
    cv::Mat frame = RandomFrame(33, 21, 9);
    cv::Mat expected = frame.clone();
    expected.forEach<cv::Vec3b>([](cv::Vec3b& p, const int*) {
        for (int s = 0; s < 3; ++s)
            p[s] = static_cast<uchar>(255 - p[s]);
    });
    ApplyNegative(frame);
    EXPECT_TRUE(SameBytes(frame, expected));
}

TEST(Erode, RegionEqualsAStandaloneErosionOfItsCutOut)
{
    const cv::Rect areas[] = { { 20, 15, 30, 25 }, { 0, 0, 5, 5 }, { 85, 60, 5, 10 }, { 1, 2, 1, 1 }, { 80, 0, 20, 8 } };
    for (const cv::Rect& area : areas) {
        cv::Mat frame = RandomFrame(90, 70, area.x * 100 + area.y);
        cv::Mat expected = frame.clone();
        const cv::Rect clipped = area & cv::Rect(0, 0, 90, 70); // the last one reaches past the edge
        cv::Mat cutOut = expected(clipped).clone();
        cv::erode(cutOut, cutOut, cv::Mat(), cv::Point(-1, -1), 3, cv::BORDER_REPLICATE);
        cutOut.copyTo(expected(clipped));
        ApplyErode(frame, area);
        ASSERT_TRUE(SameBytes(frame, expected)) << area;
    }
    // Without a region the whole picture is eroded, its edges repeated.
    cv::Mat frame = RandomFrame(90, 70, 3);
    cv::Mat expected;
    cv::erode(frame, expected, cv::Mat(), cv::Point(-1, -1), 3, cv::BORDER_REPLICATE);
    ApplyErode(frame);
    EXPECT_TRUE(SameBytes(frame, expected));
}

TEST(Erode, DarkPixelsBesideTheRegionDoNotReachIntoIt)
{
    const cv::Rect region(20, 15, 30, 25);
    cv::Mat frame(60, 80, CV_8UC3, cv::Scalar::all(200));
    // One dark pixel just outside each side and one beyond a corner.
    for (cv::Point p : { cv::Point(19, 25), cv::Point(50, 30), cv::Point(35, 14), cv::Point(30, 40), cv::Point(50, 40) })
        frame.at<cv::Vec3b>(p) = cv::Vec3b(0, 0, 0);
    cv::Mat whole = frame.clone();

    ApplyErode(frame, region);
    EXPECT_TRUE(SameBytes(frame(region), cv::Mat(region.size(), CV_8UC3, cv::Scalar::all(200))));
    // The same picture eroded whole does darken the region's rim: the pixels are close enough.
    ApplyErode(whole);
    EXPECT_GT(cv::countNonZero(whole(region).reshape(1) == 0), 0);
}

class RegionEffect : public ::testing::TestWithParam<int> {};

TEST_P(RegionEffect, EveryStyleStaysInsideTheRegion)
{
    const int style = GetParam();
    const cv::Mat source = RandomFrame(80, 60, 21);
    const cv::Rect region(20, 10, 30, 25);
    cv::Mat frame = source.clone();
    GrainRandom random;
    ApplyEffectStyle(frame, style, random, region);

    cv::Mat outside = cv::Mat::ones(source.size(), CV_8U);
    outside(region).setTo(0);
    const cv::Mat changed = (frame != source);
    std::vector<cv::Mat> planes;
    cv::split(changed, planes);
    const cv::Mat anyChange = planes[0] | planes[1] | planes[2];
    EXPECT_GT(cv::countNonZero(anyChange(region)), region.area() / 2);
    EXPECT_EQ(cv::countNonZero(anyChange & outside), 0);
}

INSTANTIATE_TEST_SUITE_P(AllStyles, RegionEffect,
    ::testing::Values(kEffectBlackWhite, kEffectNegative, kEffectSketch, kEffectFineOutline, kEffectErode, kEffectGrain));

TEST(RegionEffect, PixelStylesDrawTheRegionAsTheWholePictureHasIt)
{
    // Regions inside, at each edge and corner, reaching past the picture, one pixel, the whole.
    const cv::Rect regions[] = { { 20, 10, 30, 25 }, { 0, 0, 9, 40 }, { 70, 3, 10, 50 }, { 5, 52, 60, 8 },
        { 60, 45, 40, 40 }, { 33, 17, 1, 1 }, { 0, 0, 80, 60 } };
    const cv::Mat source = RandomFrame(80, 60, 7);
    GrainRandom unused;
    for (int style : { kEffectBlackWhite, kEffectNegative, kEffectSketch, kEffectFineOutline }) {
        cv::Mat whole = source.clone();
        ApplyEffectStyle(whole, style, unused);
        for (const cv::Rect& region : regions) {
            const cv::Rect clipped = region & cv::Rect(0, 0, 80, 60);
            cv::Mat expected = source.clone();
            whole(clipped).copyTo(expected(clipped));
            cv::Mat frame = source.clone();
            ApplyEffectStyle(frame, style, unused, region);
            ASSERT_TRUE(SameBytes(frame, expected)) << "style " << style << " " << region;
        }
    }
}

TEST(EffectStyle, RegionMissingThePictureChangesNothing)
{
    const cv::Mat source = RandomFrame(40, 30, 4);
    GrainRandom random;
    for (int style = kEffectBlackWhite; style <= kEffectGrain; ++style) {
        cv::Mat frame = source.clone();
        ApplyEffectStyle(frame, style, random, cv::Rect(50, 40, 10, 10));
        EXPECT_TRUE(SameBytes(frame, source)) << style;
    }
    for (int style : { 0, 7, -1 }) {
        cv::Mat frame = source.clone();
        ApplyEffectStyle(frame, style, random);
        EXPECT_TRUE(SameBytes(frame, source)) << style;
    }
}

TEST(Flip, FlippingIntoAnotherPictureEqualsOpenCvAtEveryWidth)
{
    // Widths around the wide kernel's vector (32 pixels), and a view into a larger picture, whose
    // rows are not contiguous; with the baseline kernels it is OpenCV's own flip.
    const cv::Mat big = RandomFrame(700, 9, 4);
    ForEachKernelBuild([&big](bool wide) {
        for (int width : { 1, 5, 15, 16, 17, 31, 32, 33, 47, 64, 641 })
            for (int mode : { static_cast<int>(kFlipMirror), static_cast<int>(kFlipMirrorUpsideDown),
                     static_cast<int>(kFlipUpsideDown) }) {
                const cv::Mat from = big(cv::Rect(3, 2, width, 5));
                cv::Mat into;
                ASSERT_TRUE(FlipInto(from, into, mode));
                cv::Mat expected = from.clone();
                ApplyFlip(expected, mode);
                ASSERT_TRUE(SameBytes(into, expected)) << width << " " << mode << (wide ? " wide" : "");
            }
    });
}

TEST(Flip, ModesTurnThePictureAsNamed)
{
    const cv::Mat source = RandomFrame(7, 5, 8);
    auto at = [](const cv::Mat& m, int x, int y) { return m.at<cv::Vec3b>(y, x); };
    for (int mode = -1; mode <= 4; ++mode) {
        cv::Mat frame = source.clone();
        ApplyFlip(frame, mode);
        const bool mirrored = mode == kFlipMirror || mode == kFlipMirrorUpsideDown;
        const bool upsideDown = mode == kFlipMirrorUpsideDown || mode == kFlipUpsideDown;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(at(frame, x, y), at(source, mirrored ? 6 - x : x, upsideDown ? 4 - y : y)) << mode;
    }
}

} // namespace
