#include "pipeline/stages/FunEffect.h"
#include "pipeline/stages/FunPreviewGrid.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include <cmath>
#include <limits>
#include <set>
#include <vector>

namespace {

constexpr FunEffect kMapEffects[] = { kFunBulge, kFunPinch, kFunTwirl, kFunStretch, kFunSqueeze, kFunFishEye,
    kFunKaleidoscope, kFunLightTunnel, kFunBigHead, kFunThinFace };

// Large smooth shapes in many colours: no symmetry of its own, little change from pixel to pixel.
cv::Mat SmoothPicture(cv::Size size, std::uint64_t seed)
{
    cv::Mat small = RandomFrame(8, 6, seed);
    cv::Mat picture;
    cv::resize(small, picture, size, 0, 0, cv::INTER_CUBIC);
    return picture;
}

// A grey picture with a red disc of the given radius at centre.
cv::Mat DiscPicture(cv::Size size, cv::Point centre, int radius)
{
    cv::Mat picture(size, CV_8UC3, cv::Scalar(120, 120, 120));
    cv::circle(picture, centre, radius, cv::Scalar(0, 0, 255), cv::FILLED);
    return picture;
}

int RedPixels(const cv::Mat& picture)
{
    cv::Mat red;
    cv::inRange(picture, cv::Scalar(0, 0, 200), cv::Scalar(60, 60, 255), red);
    return cv::countNonZero(red);
}

cv::Mat Applied(const cv::Mat& picture, FunEffect effect, const std::optional<FunFace>& face = std::nullopt,
    std::int64_t frameNumber = 0)
{
    FunEffectState state;
    cv::Mat frame = picture.clone();
    ApplyFunEffect(frame, effect, state, face, frameNumber);
    return frame;
}

// Bytes of picture outside the rectangle inner.
bool SameOutside(const cv::Mat& a, const cv::Mat& b, cv::Rect inner)
{
    cv::Mat mask(a.size(), CV_8UC1, cv::Scalar(255));
    mask(inner).setTo(0);
    cv::Mat difference;
    cv::absdiff(a, b, difference);
    cv::Mat any;
    cv::cvtColor(difference, any, cv::COLOR_BGR2GRAY);
    cv::threshold(any, any, 0, 255, cv::THRESH_BINARY);
    return cv::countNonZero(any & mask) == 0;
}

double MeanDifference(const cv::Mat& a, const cv::Mat& b)
{
    return cv::norm(a, b, cv::NORM_L1) / static_cast<double>(a.total() * a.channels());
}

} // namespace

TEST(FunLenses, BulgeAndPinchKeepTheBorderAndResizeTheCentre)
{
    const cv::Size size(160, 120);
    const cv::Mat picture = DiscPicture(size, { 80, 60 }, 8);
    // A textured border, so that any move of a border pixel shows.
    cv::Mat textured = picture.clone();
    cv::Mat noise = RandomFrame(160, 120, 3);
    cv::min(noise, cv::Scalar(255, 255, 150), noise); // nothing red
    const cv::Rect inner(12, 12, 136, 96);
    noise.copyTo(textured, [&] {
        cv::Mat m(size, CV_8UC1, cv::Scalar(255));
        m(inner).setTo(0);
        return m;
    }());

    const cv::Mat bulged = Applied(textured, kFunBulge);
    EXPECT_TRUE(SameOutside(bulged, textured, inner));
    EXPECT_GT(RedPixels(bulged), 2.5 * RedPixels(textured));
    const cv::Mat pinched = Applied(textured, kFunPinch);
    EXPECT_TRUE(SameOutside(pinched, textured, inner));
    EXPECT_LT(RedPixels(pinched), 0.6 * RedPixels(textured));
    // The disc stays centred: as much of it left as right of the middle column.
    const int left = RedPixels(bulged.colRange(0, 80));
    EXPECT_NEAR(left, RedPixels(bulged.colRange(81, 160)), 0.1 * left); // column 80 is the middle
}

TEST(FunLenses, BigHeadFollowsTheFaceAndFallsBackToTheMiddle)
{
    const cv::Size size(200, 150);
    cv::Mat picture = DiscPicture(size, { 50, 40 }, 6);
    cv::circle(picture, { 150, 110 }, 6, cv::Scalar(0, 0, 255), cv::FILLED);
    const int before = RedPixels(picture);
    const int each = before / 2;

    const cv::Mat onFirst = Applied(picture, kFunBigHead, FunFace({ 50, 40 }, 20));
    EXPECT_GT(RedPixels(onFirst(cv::Rect(0, 0, 100, 75))), 2 * each);
    EXPECT_TRUE(SameBytes(onFirst(cv::Rect(100, 75, 100, 75)), picture(cv::Rect(100, 75, 100, 75))));
    const cv::Mat onSecond = Applied(picture, kFunBigHead, FunFace({ 150, 110 }, 20));
    EXPECT_GT(RedPixels(onSecond(cv::Rect(100, 75, 100, 75))), 2 * each);
    EXPECT_TRUE(SameBytes(onSecond(cv::Rect(0, 0, 100, 75)), picture(cv::Rect(0, 0, 100, 75))));

    // Without a face (or with one whose numbers are not numbers) the lens sits in the middle. A
    // bare centre, as the tracker may give it, is a face of unknown size.
    const cv::Mat middle = Applied(picture, kFunBigHead, std::optional<cv::Point2f>(cv::Point2f(99.5f, 74.5f)));
    EXPECT_TRUE(SameBytes(Applied(picture, kFunBigHead), middle));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_TRUE(SameBytes(Applied(picture, kFunBigHead, FunFace({ nan, nan }, nan)), middle));

    // The thin face narrows the face and keeps its height.
    const cv::Mat thin = Applied(picture, kFunThinFace, FunFace({ 50, 40 }, 20));
    const cv::Rect first(0, 0, 100, 75);
    EXPECT_LT(RedPixels(thin(first)), 0.85 * each);
    auto redRows = [](const cv::Mat& m) {
        int rows = 0;
        for (int y = 0; y < m.rows; ++y)
            rows += RedPixels(m.row(y)) > 0;
        return rows;
    };
    EXPECT_GE(redRows(thin(first)), redRows(picture(first)) - 2);
}

TEST(FunMirrors, MirrorAndKaleidoscopeHalvesAreEqual)
{
    for (const cv::Size size : { cv::Size(160, 90), cv::Size(81, 64), cv::Size(2, 3), cv::Size(1, 1) }) {
        const cv::Mat picture = SmoothPicture(size, size.area());
        for (FunEffect effect : { kFunMirror, kFunKaleidoscope }) {
            const cv::Mat out = Applied(picture, effect);
            const int half = size.width / 2;
            cv::Mat flippedLeft;
            cv::flip(out.colRange(0, half), flippedLeft, 1);
            EXPECT_TRUE(SameBytes(flippedLeft, out.colRange(size.width - half, size.width))) << size << effect;
            if (effect == kFunMirror) { // the left half, and an odd middle column, are the picture's own
                EXPECT_TRUE(SameBytes(out.colRange(0, (size.width + 1) / 2), picture.colRange(0, (size.width + 1) / 2)));
            }
        }
    }
}

TEST(FunMirrors, KaleidoscopeSegmentsAreEqual)
{
    const cv::Size size(241, 181);
    const cv::Mat picture = SmoothPicture(size, 17);
    const cv::Mat out = Applied(picture, kFunKaleidoscope);
    const cv::Point2d centre((size.width - 1) / 2.0, (size.height - 1) / 2.0);
    auto at = [&](double r, double angle) {
        // Clockwise from straight up.
        const cv::Point p(static_cast<int>(std::lround(centre.x + r * std::sin(angle))),
            static_cast<int>(std::lround(centre.y - r * std::cos(angle))));
        return cv::Vec3d(out.at<cv::Vec3b>(p));
    };
    // Within the inscribed circle, each point of the first segment against its images: turned by a
    // third and two thirds, and mirrored in the segment's edge at 60°.
    const double third = 2 * CV_PI / 3;
    double turned = 0, mirrored = 0, elsewhere = 0;
    int samples = 0;
    for (double r = 5; r < 85; r += 4)
        for (double a = 0.02; a < CV_PI / 3; a += 0.05) {
            const cv::Vec3d p = at(r, a);
            turned += cv::norm(p - at(r, a + third), cv::NORM_L1) + cv::norm(p - at(r, a + 2 * third), cv::NORM_L1);
            mirrored += cv::norm(p - at(r, 2 * CV_PI / 3 - a), cv::NORM_L1);
            elsewhere += cv::norm(p - at(r, a + CV_PI / 2), cv::NORM_L1); // a quarter turn is no symmetry
            ++samples;
        }
    EXPECT_LT(turned / (2 * samples), 6.0);
    EXPECT_LT(mirrored / samples, 6.0);
    EXPECT_GT(elsewhere / samples, 20.0); // and the picture is not flat
}

TEST(FunMirrors, StretchAndSqueezeKeepTopAndBottomAndResizeTheMiddle)
{
    const cv::Size size(60, 101);
    cv::Mat picture = RandomFrame(60, 101, 8);
    cv::min(picture, cv::Scalar(255, 255, 150), picture); // nothing red but the band
    picture.rowRange(45, 56).setTo(cv::Scalar(0, 0, 255)); // an 11-row band through the middle
    const cv::Mat stretched = Applied(picture, kFunStretch);
    const cv::Mat squeezed = Applied(picture, kFunSqueeze);
    for (const cv::Mat& out : { stretched, squeezed }) {
        EXPECT_TRUE(SameBytes(out.row(0), picture.row(0)));
        EXPECT_TRUE(SameBytes(out.row(100), picture.row(100)));
    }
    EXPECT_GE(RedPixels(stretched), 60 * 17); // 1.7 times taller
    EXPECT_LE(RedPixels(squeezed), 60 * 9);
    EXPECT_GE(RedPixels(squeezed), 60 * 6);
}

TEST(FunMirrors, LightTunnelKeepsItsCircleAndStreaksItsRimOutward)
{
    const cv::Size size(121, 81); // the middle row and column run through the centre
    const cv::Mat picture = RandomFrame(121, 81, 14);
    const cv::Mat out = Applied(picture, kFunLightTunnel);
    const double ring = 0.32 * 81;
    int streaked = 0;
    for (int y = 0; y < size.height; ++y)
        for (int x = 0; x < size.width; ++x) {
            const double r = std::hypot(x - 60, y - 40);
            if (r < ring) // the circle, right up to its edge, keeps every byte
                ASSERT_EQ(out.at<cv::Vec3b>(y, x), picture.at<cv::Vec3b>(y, x)) << x << "," << y;
            else if (r > ring + 1)
                streaked += out.at<cv::Vec3b>(y, x) != picture.at<cv::Vec3b>(y, x);
        }
    EXPECT_GT(streaked, 0.9 * (size.area() - CV_PI * (ring + 1) * (ring + 1)));
    // Along a ray out of the circle the colour stays: right, left, down and up from the centre.
    for (int x = 90; x < 121; ++x)
        ASSERT_EQ(out.at<cv::Vec3b>(40, x), out.at<cv::Vec3b>(40, 88)) << x;
    for (int x = 0; x < 31; ++x)
        ASSERT_EQ(out.at<cv::Vec3b>(40, x), out.at<cv::Vec3b>(40, 32)) << x;
    for (int y = 70; y < 81; ++y)
        ASSERT_EQ(out.at<cv::Vec3b>(y, 60), out.at<cv::Vec3b>(68, 60)) << y;
    for (int y = 0; y < 11; ++y)
        ASSERT_EQ(out.at<cv::Vec3b>(y, 60), out.at<cv::Vec3b>(12, 60)) << y;
}

TEST(FunMirrors, MapsFollowSizeAndFaceChangesAndAreKeptOtherwise)
{
    const cv::Mat large = SmoothPicture({ 120, 90 }, 1);
    const cv::Mat small = SmoothPicture({ 67, 41 }, 2);
    for (FunEffect effect : kMapEffects) {
        FunEffectState state;
        cv::Mat frame = large.clone();
        ApplyFunEffect(frame, effect, state, std::nullopt, 0);
        const int built = state.maps.Builds();
        frame = large.clone();
        ApplyFunEffect(frame, effect, state, std::nullopt, 1);
        EXPECT_EQ(state.maps.Builds(), built) << effect;
        // Another size: the same as a state that never saw the first one.
        frame = small.clone();
        ApplyFunEffect(frame, effect, state, std::nullopt, 2);
        EXPECT_TRUE(SameBytes(frame, Applied(small, effect))) << effect;
        // A face, then the face moved and grown.
        for (const FunFace face : { FunFace({ 20, 15 }, 16), FunFace({ 40, 25 }, 30), FunFace({ 66, 0 }, 8) }) {
            frame = small.clone();
            ApplyFunEffect(frame, effect, state, face, 3);
            EXPECT_TRUE(SameBytes(frame, Applied(small, effect, face))) << effect << " " << face.centre;
        }
    }
}

TEST(FunEffects, NoEffectWritesOutsideTheFrameOrChangesIt)
{
    const std::optional<FunFace> faces[] = { std::nullopt, FunFace({ 0, 0 }, 4), FunFace({ -50, 1e6f }, 1e9f),
        FunFace({ std::numeric_limits<float>::infinity(), 3 }, -5) };
    for (const cv::Size size : { cv::Size(1, 1), cv::Size(2, 3), cv::Size(3, 2), cv::Size(7, 5), cv::Size(64, 48),
             cv::Size(97, 61) }) {
        for (int e = 0; e <= static_cast<int>(kFunEffects.size()); ++e) {
            const FunEffect effect = static_cast<FunEffect>(e);
            FunEffectState state(5);
            for (const auto& face : faces) {
                // The frame is a view inside a larger picture, with rows not contiguous.
                cv::Mat canvas = RandomFrame(size.width + 10, size.height + 10, size.area() + e);
                const cv::Mat before = canvas.clone();
                const cv::Rect inner(4, 5, size.width, size.height);
                cv::Mat frame = canvas(inner);
                const uchar* data = frame.data;
                ApplyFunEffect(frame, effect, state, face, 7);
                ASSERT_EQ(frame.data, data) << size << effect;
                ASSERT_EQ(frame.size(), size);
                ASSERT_EQ(frame.type(), CV_8UC3);
                ASSERT_TRUE(SameOutside(canvas, before, inner)) << size << " effect " << effect;
            }
        }
    }
}

TEST(FunLooks, MosaicBlocksAreTheMeansOfTheirPixels)
{
    for (const cv::Size size : { cv::Size(100, 70), cv::Size(33, 7), cv::Size(1, 1) }) {
        const cv::Mat picture = RandomFrame(size.width, size.height, 4);
        const cv::Mat out = Applied(picture, kFunMosaic);
        const int block = MosaicBlock(size);
        for (int y = 0; y < size.height; y += block)
            for (int x = 0; x < size.width; x += block) {
                const cv::Rect r = cv::Rect(x, y, block, block) & cv::Rect(0, 0, size.width, size.height);
                const cv::Scalar mean = cv::mean(picture(r));
                const cv::Mat expected(r.size(), CV_8UC3,
                    cv::Scalar(std::round(mean[0]), std::round(mean[1]), std::round(mean[2])));
                ASSERT_LE(cv::norm(out(r), expected, cv::NORM_INF), 1) << size << r; // halves may round either way
                ASSERT_EQ(cv::norm(out(r), cv::Mat(r.size(), CV_8UC3, cv::Scalar(out.at<cv::Vec3b>(r.tl()))), cv::NORM_INF), 0);
            }
    }
}

TEST(FunLooks, FalseColoursKeepTheOrderOfBrightness)
{
    // A grey ramp: the thermal look gets brighter along it, the X-ray darker; the X-ray is blue.
    cv::Mat ramp(1, 256, CV_8UC3);
    for (int v = 0; v < 256; ++v)
        ramp.at<cv::Vec3b>(v) = cv::Vec3b(static_cast<uchar>(v), static_cast<uchar>(v), static_cast<uchar>(v));
    const cv::Mat thermal = Applied(ramp, kFunThermal);
    const cv::Mat xray = Applied(ramp, kFunXRay);
    cv::Mat thermalLuma, xrayLuma;
    cv::cvtColor(thermal, thermalLuma, cv::COLOR_BGR2GRAY);
    cv::cvtColor(xray, xrayLuma, cv::COLOR_BGR2GRAY);
    for (int v = 1; v < 256; ++v) {
        EXPECT_GE(thermalLuma.at<uchar>(v), thermalLuma.at<uchar>(v - 1)) << v;
        EXPECT_LE(xrayLuma.at<uchar>(v), xrayLuma.at<uchar>(v - 1)) << v;
        const cv::Vec3b p = xray.at<cv::Vec3b>(v);
        EXPECT_GE(p[0], p[2]) << v;
    }
    EXPECT_LT(thermalLuma.at<uchar>(0), 20);
    EXPECT_GT(thermalLuma.at<uchar>(255), 235);
    const cv::Vec3b warm = thermal.at<cv::Vec3b>(150); // middle tones are red, not blue
    EXPECT_GT(warm[2], warm[0]);
}

TEST(FunLooks, ComicInksEdgesOnFlatColours)
{
    cv::Mat picture(80, 80, CV_8UC3, cv::Scalar(200, 180, 40));
    const cv::Mat flat = Applied(picture, kFunComic);
    // A flat picture has no ink, and every colour is one of five levels.
    EXPECT_EQ(cv::norm(flat, cv::Mat(80, 80, CV_8UC3, flat.at<cv::Vec3b>(0, 0)), cv::NORM_INF), 0);
    EXPECT_EQ(flat.at<cv::Vec3b>(40, 40), cv::Vec3b(191, 191, 64));
    picture.colRange(40, 80).setTo(cv::Scalar(30, 30, 30));
    const cv::Mat edged = Applied(picture, kFunComic);
    int inked = 0;
    for (int y = 0; y < 80; ++y)
        inked += edged.at<cv::Vec3b>(y, 40) == cv::Vec3b(0, 0, 0) || edged.at<cv::Vec3b>(y, 41) == cv::Vec3b(0, 0, 0);
    EXPECT_EQ(inked, 80); // a line all along the edge
    EXPECT_EQ(edged.at<cv::Vec3b>(40, 10), flat.at<cv::Vec3b>(40, 10)); // away from it, the flat colour

    // Large pictures are drawn at half size and each pixel doubled, an odd last row and column
    // too, without touching anything beside the frame.
    for (const cv::Size size : { cv::Size(961, 541), cv::Size(960, 540) }) {
        cv::Mat canvas = RandomFrame(size.width + 20, size.height + 20, 31);
        const cv::Mat before = canvas.clone();
        const cv::Rect inner(10, 10, size.width, size.height);
        cv::Mat large = canvas(inner);
        cv::GaussianBlur(large, large, cv::Size(0, 0), 6);
        large.colRange(480, size.width).setTo(cv::Scalar(70, 70, 70));
        FunEffectState state;
        ApplyFunEffect(large, kFunComic, state, std::nullopt, 0);
        EXPECT_TRUE(SameOutside(canvas, before, inner)) << size;
        for (int y = 0; y < size.height; ++y)
            for (int x = 0; x < size.width; ++x) {
                const cv::Vec3b p = large.at<cv::Vec3b>(y, x);
                ASSERT_EQ(p, large.at<cv::Vec3b>(y / 2 * 2, x / 2 * 2)) << x << "," << y;
                for (int c = 0; c < 3; ++c)
                    ASSERT_TRUE(p[c] == 0 || p[c] == 64 || p[c] == 128 || p[c] == 191 || p[c] == 255) << p;
            }
        for (int y = 0; y < size.height; ++y) { // the edge inked all along, on its dark side
            bool inked = false;
            for (int x = 480; x < 484; ++x)
                inked = inked || large.at<cv::Vec3b>(y, x) == cv::Vec3b(0, 0, 0);
            ASSERT_TRUE(inked) << y;
        }
        // The last column too, away from the edge.
        EXPECT_EQ(large.at<cv::Vec3b>(270, size.width - 1), cv::Vec3b(64, 64, 64));
    }
}

TEST(FunLooks, PopShowsFourQuartersInFourColourings)
{
    cv::Mat picture(60, 80, CV_8UC3, cv::Scalar(230, 230, 230));
    cv::rectangle(picture, cv::Rect(10, 10, 30, 20), cv::Scalar(20, 20, 20), cv::FILLED);
    cv::rectangle(picture, cv::Rect(50, 30, 20, 20), cv::Scalar(110, 110, 110), cv::FILLED);
    const cv::Mat out = Applied(picture, kFunPop);
    std::vector<std::set<int>> colours(4);
    const cv::Rect quarters[4] = { { 0, 0, 40, 30 }, { 40, 0, 40, 30 }, { 0, 30, 40, 30 }, { 40, 30, 40, 30 } };
    for (int q = 0; q < 4; ++q) {
        const cv::Mat part = out(quarters[q]);
        for (int y = 0; y < part.rows; ++y)
            for (int x = 0; x < part.cols; ++x) {
                const cv::Vec3b p = part.at<cv::Vec3b>(y, x);
                colours[q].insert(p[0] << 16 | p[1] << 8 | p[2]);
            }
        EXPECT_EQ(colours[q].size(), 3u) << q; // dark, middle and light
        // The half-size picture: its dark square at (5, 5) … (20, 15), its light corner.
        EXPECT_NE(part.at<cv::Vec3b>(10, 12), part.at<cv::Vec3b>(2, 38)) << q;
        EXPECT_EQ(part.at<cv::Vec3b>(2, 2), part.at<cv::Vec3b>(27, 2)) << q;
    }
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            EXPECT_NE(colours[a], colours[b]) << a << " " << b;
}

TEST(FunLooks, OldFilmIsSepiaAnimatedByFrameNumberAndSeedOnly)
{
    const cv::Mat picture = RandomFrame(160, 120, 12);
    auto film = [&](unsigned seed, std::int64_t frameNumber) {
        FunEffectState state(seed);
        cv::Mat frame = picture.clone();
        ApplyFunEffect(frame, kFunOldFilm, state, std::nullopt, frameNumber);
        return frame;
    };
    const cv::Mat first = film(3, 100);
    EXPECT_TRUE(SameBytes(first, film(3, 100)));
    EXPECT_FALSE(SameBytes(first, film(3, 101)));
    EXPECT_FALSE(SameBytes(first, film(4, 100)));
    EXPECT_FALSE(SameBytes(film(3, -5), film(3, -6)));
    // A state carried from frame to frame gives what a fresh one gives.
    FunEffectState carried(3);
    for (std::int64_t n : { 5, 99, 100 }) {
        cv::Mat frame = picture.clone();
        ApplyFunEffect(frame, kFunOldFilm, carried, std::nullopt, n);
        if (n == 100) {
            EXPECT_TRUE(SameBytes(frame, first));
        }
    }
    // Sepia: red over green over blue everywhere, scratches and dust included.
    for (std::int64_t n = 0; n < 24; ++n) {
        const cv::Mat frame = film(9, n);
        for (int y = 0; y < frame.rows; ++y)
            for (int x = 0; x < frame.cols; ++x) {
                const cv::Vec3b p = frame.at<cv::Vec3b>(y, x);
                ASSERT_TRUE(p[2] >= p[1] && p[1] >= p[0]) << n << " " << x << "," << y << " " << p;
            }
    }
}

TEST(FunEffects, StoredNumbersReadBackAndUnknownOnesAreNone)
{
    std::set<int> seen;
    for (FunEffect e : kFunEffects) {
        EXPECT_EQ(FunEffectFromStored(e), e);
        seen.insert(e);
    }
    EXPECT_EQ(seen.size(), kFunEffects.size());
    EXPECT_EQ(*seen.begin(), 1);
    EXPECT_EQ(*seen.rbegin(), 17); // numbers stored by earlier versions keep their meaning
    for (int unknown : { 0, -1, 18, 1000, std::numeric_limits<int>::min() })
        EXPECT_EQ(FunEffectFromStored(unknown), kFunNone) << unknown;
}

TEST(FunPreviewGrid, NineTilesWithTheOriginalInTheMiddle)
{
    // Every effect appears on exactly one page.
    std::multiset<int> paged;
    for (int page = 0; page < FunPreviewPageCount(); ++page) {
        EXPECT_LE(FunPreviewPage(page).size(), 8u);
        for (FunEffect e : FunPreviewPage(page))
            paged.insert(e);
    }
    EXPECT_EQ(paged, std::multiset<int>(kFunEffects.begin(), kFunEffects.end()));
    EXPECT_TRUE(FunPreviewPage(FunPreviewPageCount()).empty());
    EXPECT_TRUE(FunPreviewPage(-1).empty());

    const cv::Mat picture = SmoothPicture({ 640, 360 }, 21);
    FunPreviewGrid grid;
    const FunPreview& preview = grid.Render(picture, { 600, 400 }, FunPreviewPage(0), std::nullopt, 0);
    ASSERT_EQ(preview.image.size(), cv::Size(600, 400));
    ASSERT_EQ(preview.tiles.size(), 9u);
    const FunPreviewTile& middle = preview.tiles[4];
    EXPECT_EQ(middle.effect, kFunNone);
    for (std::size_t i = 0; i < 9; ++i) {
        const FunPreviewTile& tile = preview.tiles[i];
        if (i != 4) {
            EXPECT_EQ(tile.effect, FunPreviewPage(0)[i < 4 ? i : i - 1]);
        }
        EXPECT_EQ(tile.rect.size(), middle.rect.size());
        EXPECT_EQ(tile.rect & cv::Rect(0, 0, 600, 400), tile.rect);
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_TRUE((tile.rect & preview.tiles[j].rect).empty());
        // Cells in reading order.
        EXPECT_EQ(tile.rect.x > preview.tiles[i / 3 * 3].rect.x, i % 3 != 0);
        EXPECT_EQ(tile.rect.y > preview.tiles[i % 3].rect.y, i >= 3);
    }
    // The tiles keep the picture's shape.
    EXPECT_NEAR(static_cast<double>(middle.rect.width) / middle.rect.height, 640.0 / 360, 0.02);
    // The middle is the picture made small; each other tile is changed by its effect.
    cv::Mat small;
    cv::resize(picture, small, middle.rect.size(), 0, 0, cv::INTER_AREA);
    EXPECT_LT(MeanDifference(preview.image(middle.rect), small), 2.0);
    for (const FunPreviewTile& tile : preview.tiles) {
        if (tile.effect != kFunNone) {
            EXPECT_GT(MeanDifference(preview.image(tile.rect), preview.image(middle.rect)), 0.2) << tile.effect;
        }
    }
}

TEST(FunPreviewGrid, ShortPagesSmallGridsAndHeldImages)
{
    const cv::Mat picture = RandomFrame(320, 240, 6);
    FunPreviewGrid grid;
    const FunEffect one[] = { kFunOldFilm };
    const FunPreview& preview = grid.Render(picture, { 300, 300 }, one, std::nullopt, 0);
    ASSERT_EQ(preview.tiles.size(), 2u);
    EXPECT_EQ(preview.tiles[0].effect, kFunOldFilm);
    EXPECT_EQ(preview.tiles[1].effect, kFunNone);
    // The cells after the page's end stay empty (one colour).
    const cv::Rect lastCell = preview.tiles[1].rect + cv::Point(preview.tiles[1].rect.x - preview.tiles[0].rect.x, 0);
    const cv::Mat empty = preview.image(lastCell);
    EXPECT_EQ(cv::norm(empty, cv::Mat(empty.size(), CV_8UC3, cv::Scalar(empty.at<cv::Vec3b>(0, 0))), cv::NORM_INF), 0);

    // An image still held is not drawn over by the next frame.
    const cv::Mat held = preview.image;
    const cv::Mat copy = held.clone();
    grid.Render(picture, { 300, 300 }, one, std::nullopt, 50);
    EXPECT_TRUE(SameBytes(held, copy));

    // Too small a grid for tiles, an empty picture, a negative size: no tiles, no crash.
    EXPECT_TRUE(grid.Render(picture, { 5, 5 }, FunPreviewPage(1), std::nullopt, 0).tiles.empty());
    EXPECT_EQ(grid.Render(cv::Mat(), { 90, 90 }, FunPreviewPage(1), std::nullopt, 0).tiles.size(), 9u);
    EXPECT_TRUE(grid.Render(picture, { -3, 40 }, FunPreviewPage(1), std::nullopt, 0).tiles.empty());
    // A face in the picture's pixels reaches the big head's tile scaled.
    const FunEffect head[] = { kFunBigHead };
    cv::Mat dotted = DiscPicture({ 320, 240 }, { 40, 40 }, 10);
    const FunPreview& faced = grid.Render(dotted, { 300, 300 }, head, FunFace({ 40, 40 }, 40), 0);
    const cv::Mat tile = faced.image(faced.tiles[0].rect);
    const cv::Mat plain = faced.image(faced.tiles[1].rect);
    EXPECT_GT(RedPixels(tile), 1.5 * RedPixels(plain));
}
