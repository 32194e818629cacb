#include "StageTestUtil.h"

#include "pipeline/capture/BoothSceneSource.h"
#include "pipeline/stages/Backdrop.h"
#include "pipeline/stages/BackgroundModel.h"
#include "pipeline/stages/ColourKey.h"
#include "pipeline/stages/EdgeRefine.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>
#include <opencv2/ximgproc.hpp>

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// A mask with the person in the left third, the room in the right third and a half-way band.
cv::Mat ThirdsAlpha(cv::Size size)
{
    cv::Mat alpha(size, CV_8UC1, cv::Scalar(0));
    alpha.colRange(0, size.width / 3).setTo(255);
    alpha.colRange(size.width / 3, 2 * size.width / 3).setTo(128);
    return alpha;
}

cv::Mat Uniform(cv::Size size, const cv::Scalar& bgr) { return cv::Mat(size, CV_8UC3, bgr); }

cv::Vec3b KeyedColour(const cv::Vec3b& person, const cv::Scalar& key)
{
    cv::Mat picture = Uniform({ 4, 4 }, cv::Scalar(person[0], person[1], person[2]));
    Composite(picture, cv::Mat(4, 4, CV_8UC1, cv::Scalar(255)), Uniform({ 4, 4 }, cv::Scalar(0, 0, 0)), key);
    return picture.at<cv::Vec3b>(0, 0);
}

uchar KeyAlpha(const cv::Scalar& colour, const cv::Scalar& key, int tolerance)
{
    cv::Mat alpha;
    ColourKeyAlpha(Uniform({ 2, 2 }, colour), key, tolerance, alpha);
    return alpha.at<uchar>(0, 0);
}

} // namespace

TEST(Composite, KeepsThePersonTakesTheBackdropAndMixesTheEdge)
{
    const cv::Size size(60, 20);
    const cv::Mat person = RandomFrame(size.width, size.height, 1), backdrop = RandomFrame(size.width, size.height, 2);
    cv::Mat picture = person.clone();
    Composite(picture, ThirdsAlpha(size), backdrop);
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width; ++x) {
            for (int c = 0; c < 3; ++c) {
                const int f = person.at<cv::Vec3b>(y, x)[c], b = backdrop.at<cv::Vec3b>(y, x)[c];
                const int expected = x < 20 ? f : x >= 40 ? b : (f * 128 + b * 127 + 127) / 255;
                ASSERT_NEAR(picture.at<cv::Vec3b>(y, x)[c], expected, x < 20 || x >= 40 ? 0 : 1) << x << "," << y;
            }
        }
    }
}

TEST(Composite, TakesAnyBackdropAndLeavesThePictureWhenTheMaskDoesNotFit)
{
    const cv::Size size(60, 40);
    const cv::Mat person = RandomFrame(size.width, size.height, 3);
    cv::Mat alpha(size, CV_8UC1, cv::Scalar(0));

    // A backdrop of another size is scaled to the picture, not read past its end.
    cv::Mat small = RandomFrame(30, 20, 4), picture = person.clone(), scaled;
    Composite(picture, alpha, small);
    cv::resize(small, scaled, size, 0, 0, cv::INTER_LINEAR);
    EXPECT_TRUE(SameBytes(picture, scaled));

    // Its own transparency is ignored; a grey one is grey.
    const cv::Mat bgra = RandomFrame(size.width, size.height, 5, CV_8UC4);
    cv::Mat bgr;
    cv::cvtColor(bgra, bgr, cv::COLOR_BGRA2BGR);
    picture = person.clone();
    Composite(picture, alpha, bgra);
    EXPECT_TRUE(SameBytes(picture, bgr));
    picture = person.clone();
    Composite(picture, alpha, cv::Mat(size, CV_8UC1, cv::Scalar(77)));
    EXPECT_TRUE(SameBytes(picture, Uniform(size, cv::Scalar::all(77))));

    // No backdrop, or a mask of another size or kind: the picture as it was.
    picture = person.clone();
    Composite(picture, alpha, cv::Mat());
    EXPECT_TRUE(SameBytes(picture, person));
    for (const cv::Mat& mask : { cv::Mat(20, 20, CV_8UC1, cv::Scalar(0)), cv::Mat(size, CV_32FC1, cv::Scalar(0)) }) {
        Composite(picture, mask, bgr);
        EXPECT_TRUE(SameBytes(picture, person));
        BlurBackground(picture, mask, 100);
        EXPECT_TRUE(SameBytes(picture, person));
    }
}

TEST(Composite, HoldsBackTheKeyColourOnThePersonOnly)
{
    const cv::Scalar green(60, 180, 70), blue(200, 80, 40);
    // A green rim on a shirt loses its excess green; skin and the shirt's own colours stay.
    EXPECT_EQ(KeyedColour({ 80, 200, 120 }, green), cv::Vec3b(80, 120, 120));
    EXPECT_EQ(KeyedColour({ 135, 165, 220 }, green), cv::Vec3b(135, 165, 220));
    EXPECT_EQ(KeyedColour({ 230, 90, 60 }, blue), cv::Vec3b(90, 90, 60));
    // A key without a clear strongest channel holds nothing back.
    EXPECT_EQ(KeyedColour({ 80, 200, 120 }, cv::Scalar(120, 130, 120)), cv::Vec3b(80, 200, 120));
    // Without a key nothing changes, and the backdrop is never touched.
    cv::Mat picture = Uniform({ 4, 4 }, cv::Scalar(80, 200, 120));
    Composite(picture, cv::Mat(4, 4, CV_8UC1, cv::Scalar(255)), Uniform({ 4, 4 }, cv::Scalar(0, 0, 0)));
    EXPECT_EQ(picture.at<cv::Vec3b>(0, 0), cv::Vec3b(80, 200, 120));
    Composite(picture, cv::Mat(4, 4, CV_8UC1, cv::Scalar(0)), Uniform({ 4, 4 }, cv::Scalar(0, 255, 0)), green);
    EXPECT_EQ(picture.at<cv::Vec3b>(0, 0), cv::Vec3b(0, 255, 0));
}

TEST(Composite, MixesEveryPixelAlikeWhereverItFallsInARow)
{
    // Runs of room, of person and of mixed pixels, of every length and at every offset, on an
    // odd width: each pixel must come out as its own mix, however the row is cut up to be worked.
    const cv::Size size(83, 9);
    const cv::Mat person = RandomFrame(size.width, size.height, 11), backdrop = RandomFrame(size.width, size.height, 12);
    cv::Mat alpha(size, CV_8UC1);
    cv::RNG rng(13);
    for (int y = 0; y < size.height; ++y) {
        for (int x = 0; x < size.width;) {
            const int run = rng.uniform(1, 40), kind = rng.uniform(0, 3);
            for (int end = std::min(size.width, x + run); x < end; ++x)
                alpha.at<uchar>(y, x) = kind == 0 ? 0 : kind == 1 ? 255 : static_cast<uchar>(rng.uniform(0, 256));
        }
    }
    const cv::Scalar green(60, 180, 70);
    for (const std::optional<cv::Scalar>& key : { std::optional<cv::Scalar>(), std::optional<cv::Scalar>(green) }) {
        cv::Mat picture = person.clone();
        Composite(picture, alpha, backdrop, key);
        for (int y = 0; y < size.height; ++y) {
            for (int x = 0; x < size.width; ++x) {
                const int a = alpha.at<uchar>(y, x);
                cv::Vec3b f = person.at<cv::Vec3b>(y, x);
                if (key && a > 0)
                    f[1] = std::min(f[1], std::max(f[0], f[2]));
                for (int c = 0; c < 3; ++c) {
                    const int b = backdrop.at<cv::Vec3b>(y, x)[c];
                    const int expected = static_cast<int>(std::lround((f[c] * a + b * (255 - a)) / 255.0));
                    ASSERT_EQ(picture.at<cv::Vec3b>(y, x)[c], expected) << x << "," << y << " alpha " << a << " key " << key.has_value();
                }
            }
        }
    }
}

TEST(BlurBackground, SmoothsTheRoomLeavesThePersonAndKeepsItsColourOut)
{
    // A small picture, and a larger one of odd size, which is reduced in several steps.
    for (const cv::Size size : { cv::Size(200, 150), cv::Size(641, 481) }) {
        SCOPED_TRACE(size);
        cv::Mat room(size, CV_8UC3);
        cv::RNG(7).fill(room, cv::RNG::UNIFORM, 60, 200);
        cv::Mat alpha(size, CV_8UC1, cv::Scalar(0));
        const cv::Rect person(size.width * 7 / 20, size.height * 4 / 15, size.width * 3 / 10, size.height * 8 / 15);
        alpha(person).setTo(255);
        cv::Mat picture = room.clone();
        picture(person).setTo(cv::Scalar(0, 0, 255));
        const cv::Mat before = picture.clone();

        BlurBackground(picture, alpha, 0);
        EXPECT_TRUE(SameBytes(picture, before));

        BlurBackground(picture, alpha, 100);
        EXPECT_TRUE(SameBytes(picture(person), before(person)));
        cv::Scalar mean, spreadBefore, spreadAfter;
        const cv::Rect corner(0, 0, size.width / 4, size.height / 4);
        cv::meanStdDev(before(corner), mean, spreadBefore);
        cv::meanStdDev(picture(corner), mean, spreadAfter);
        EXPECT_LT(spreadAfter[1], spreadBefore[1] / 5);
        // The room keeps its average (nothing shifted or lost on the way down and up), and just
        // beside the person it stays grey on average: no red glow around them.
        const cv::Rect farSide(size.width - size.width / 8, 0, size.width / 8, size.height);
        const cv::Scalar roomBefore = cv::mean(before(farSide)), roomAfter = cv::mean(picture(farSide));
        for (int c = 0; c < 3; ++c)
            EXPECT_NEAR(roomAfter[c], roomBefore[c], 3) << c;
        const cv::Scalar beside = cv::mean(picture(cv::Rect(person.x - 8, person.y, 6, person.height)));
        EXPECT_LT(beside[2] - beside[1], 8);
    }
}

TEST(ColourKey, KeysTheClothInShadeAndLightButNotThePerson)
{
    const cv::Scalar cloth = BoothSceneSource::ClothColour();
    for (const cv::Scalar& key : { cloth, cv::Scalar(0, 255, 0) }) {
        for (double shade : { 0.6, 0.8, 1.0, 1.15 })
            EXPECT_EQ(KeyAlpha(cloth * shade, key, 50), 0) << shade;
        for (const cv::Scalar& person : { cv::Scalar(135, 165, 220), cv::Scalar(35, 45, 65), cv::Scalar(60, 95, 205), cv::Scalar(95, 55, 45),
                 cv::Scalar(0, 0, 0), cv::Scalar(128, 128, 128), cv::Scalar(255, 255, 255), cv::Scalar(200, 80, 40) })
            EXPECT_EQ(KeyAlpha(person, key, 50), 255) << person;
    }
    // A teal shirt is kept with a strict key and keyed with a lax one; a lax key never keeps more.
    const cv::Scalar teal(120, 170, 40);
    EXPECT_EQ(KeyAlpha(teal, cloth, 0), 255);
    EXPECT_EQ(KeyAlpha(teal, cloth, 100), 0);
    for (int t = 0; t < 100; t += 10)
        EXPECT_GE(KeyAlpha(cloth * 0.5 + teal * 0.5, cloth, t), KeyAlpha(cloth * 0.5 + teal * 0.5, cloth, t + 10)) << t;
    // A grey key cannot be told from the person: nothing is keyed.
    EXPECT_EQ(KeyAlpha(cv::Scalar(128, 128, 128), cv::Scalar(128, 128, 128), 100), 255);
    EXPECT_EQ(KeyAlpha(cloth, cv::Scalar(255, 255, 255), 100), 255);
}

TEST(ColourKey, GivesEachPixelOfAWideRowWhatItGivesThePixelAlone)
{
    // Many colours side by side (wide rows are worked several pixels at a time) against the
    // same colours keyed one by one, for both screens.
    const cv::Mat row = RandomFrame(53, 3, 21);
    for (const cv::Scalar& key : { BoothSceneSource::ClothColour(), cv::Scalar(200, 80, 40) }) {
        cv::Mat alpha;
        ColourKeyAlpha(row, key, 70, alpha);
        int keyed = 0;
        for (int y = 0; y < row.rows; ++y) {
            for (int x = 0; x < row.cols; ++x) {
                const cv::Vec3b c = row.at<cv::Vec3b>(y, x);
                ASSERT_EQ(alpha.at<uchar>(y, x), KeyAlpha(cv::Scalar(c[0], c[1], c[2]), key, 70)) << x << "," << y;
                keyed += alpha.at<uchar>(y, x) < 255;
            }
        }
        EXPECT_GT(keyed, 0); // some of the colours are the screen's
    }
}

TEST(EdgeRefine, AgreesWithOpenCVsGuidedFilterAtOneScale)
{
    // Blocks of colour with some noise, and a blurred mask of a shape that half follows them.
    cv::Mat picture(96, 128, CV_8UC3, cv::Scalar(180, 170, 160));
    cv::rectangle(picture, cv::Rect(30, 20, 50, 60), cv::Scalar(60, 90, 200), cv::FILLED);
    cv::circle(picture, { 90, 40 }, 18, cv::Scalar(140, 170, 220), cv::FILLED);
    cv::Mat noise(picture.size(), CV_8UC3);
    cv::RNG(3).fill(noise, cv::RNG::UNIFORM, 0, 12);
    picture += noise;
    cv::Mat mask(picture.size(), CV_32FC1, cv::Scalar(0));
    cv::rectangle(mask, cv::Rect(28, 22, 70, 56), cv::Scalar(1), cv::FILLED);
    cv::GaussianBlur(mask, mask, cv::Size(), 2.0);

    EdgeRefineParams params;
    cv::Mat alpha;
    RefineMaskEdges(picture, picture, mask, alpha, params);

    cv::Mat guide, reference;
    picture.convertTo(guide, CV_32FC3, 1.0 / 255);
    cv::ximgproc::guidedFilter(guide, mask, reference, params.radius, params.epsilon, CV_32F);
    // Borders aside, the outputs agree on nearly every edge pixel (a few on the sharpest colour
    // edges differ by more: OpenCV's arithmetic is not ours).
    const cv::Rect inside(8, 8, picture.cols - 16, picture.rows - 16);
    cv::Mat expected;
    reference.convertTo(expected, CV_8U, 255);
    cv::Mat difference;
    cv::absdiff(alpha(inside), expected(inside), difference);
    const cv::Mat edge = (alpha(inside) > 0) & (alpha(inside) < 255);
    ASSERT_GT(cv::countNonZero(edge), 1000);
    EXPECT_LT(cv::mean(difference, edge)[0], 1.5);
    EXPECT_LT(cv::countNonZero(difference > 3), cv::countNonZero(edge) / 10);
    // And the filter did something: the refined mask is not the blurred one.
    cv::Mat blurred;
    mask.convertTo(blurred, CV_8U, 255);
    EXPECT_GT(cv::norm(blurred(inside), alpha(inside), cv::NORM_INF), 20);
}

TEST(EdgeRefine, PutsACoarseEdgeOnThePicturesEdgeAtFullSize)
{
    // A sharp edge at an odd column, a mask from a picture a quarter the size: the refined half
    // way lies on the full-size edge, on every row.
    const int edge = 101;
    cv::Mat picture(120, 200, CV_8UC3, cv::Scalar(190, 180, 170));
    picture.colRange(0, edge).setTo(cv::Scalar(60, 90, 200));
    cv::Mat small, coarse;
    cv::resize(picture, small, cv::Size(50, 30), 0, 0, cv::INTER_AREA);
    coarse = cv::Mat(small.size(), CV_32FC1, cv::Scalar(0));
    coarse.colRange(0, 25).setTo(1); // the coarse edge sits a pixel off the true one
    cv::Mat alpha;
    RefineMaskEdges(picture, small, coarse, alpha);
    ASSERT_EQ(alpha.size(), picture.size());
    for (int y = 0; y < alpha.rows; y += 7) {
        EXPECT_GE(alpha.at<uchar>(y, edge - 1), 128) << y;
        EXPECT_LT(alpha.at<uchar>(y, edge), 128) << y;
        EXPECT_EQ(alpha.at<uchar>(y, 0), 255);
        EXPECT_EQ(alpha.at<uchar>(y, 199), 0);
    }
}

TEST(BackgroundModel, KeepsTheWholePictureUntilARoomIsLearntForItsSize)
{
    BackgroundModel model;
    EXPECT_FALSE(model.ready());
    cv::Mat alpha;
    const cv::Mat room = BoothSceneSource::Render(BoothScene::Room, 0, { 160, 120 });
    model.Segment(room, alpha);
    ASSERT_EQ(alpha.size(), room.size());
    EXPECT_EQ(cv::countNonZero(alpha != 255), 0);

    for (int n = 0; n < 5; ++n)
        model.Learn(BoothSceneSource::Render(BoothScene::Room, n, { 160, 120 }));
    ASSERT_TRUE(model.ready());
    model.Segment(BoothSceneSource::Render(BoothScene::Room, 6, { 160, 120 }), alpha);
    EXPECT_EQ(cv::countNonZero(alpha >= 128), 0);

    // The camera's picture size changed: the room no longer fits and must be learnt again.
    model.Segment(BoothSceneSource::Render(BoothScene::Room, 7, { 200, 150 }), alpha);
    EXPECT_EQ(alpha.size(), cv::Size(200, 150));
    EXPECT_EQ(cv::countNonZero(alpha != 255), 0);
    EXPECT_FALSE(model.ready());

    model.Segment(cv::Mat(), alpha);
    EXPECT_TRUE(alpha.empty());
}

TEST(BackgroundModel, LearningAgainForgetsTheOldRoom)
{
    BackgroundModel model;
    const cv::Size size(160, 120);
    for (int n = 0; n < 5; ++n)
        model.Learn(BoothSceneSource::Render(BoothScene::Room, n, size));
    cv::Mat alpha;
    model.Segment(BoothSceneSource::Render(BoothScene::GreenCloth, 0, size), alpha);
    EXPECT_GT(cv::countNonZero(alpha >= 128), static_cast<int>(alpha.total() / 2)); // all of it differs
    // A new learning second, now of the cloth: the room's frames must not count any more.
    for (int n = 0; n < 5; ++n)
        model.Learn(BoothSceneSource::Render(BoothScene::GreenCloth, n, size));
    model.Segment(BoothSceneSource::Render(BoothScene::GreenCloth, 5, size), alpha);
    EXPECT_EQ(cv::countNonZero(alpha >= 128), 0);
    model.Reset();
    EXPECT_FALSE(model.ready());
}

TEST(BackgroundModel, TellsOnceTheWholePictureHasDifferedForTwoSeconds)
{
    const cv::Size size(160, 120);
    BackgroundModel model;
    for (int n = 0; n < 5; ++n)
        model.Learn(BoothSceneSource::Render(BoothScene::Room, n, size));
    const cv::Mat moved = BoothSceneSource::Render(BoothScene::GreenCloth, 0, size);
    cv::Mat alpha;
    // At 30 frames a second: not after 59 frames of it, from the 61st on (two seconds after
    // the first).
    for (int n = 0; n < 60; ++n) {
        model.Segment(moved, alpha);
        ASSERT_FALSE(model.sceneChanged()) << n;
    }
    model.Segment(moved, alpha);
    EXPECT_TRUE(model.sceneChanged());
    // It stays said until the room is learnt again, even if the picture agrees for a moment.
    model.Segment(BoothSceneSource::Render(BoothScene::Room, 5, size), alpha);
    EXPECT_TRUE(model.sceneChanged());
    model.Learn(BoothSceneSource::Render(BoothScene::Room, 6, size));
    EXPECT_FALSE(model.sceneChanged());

    // With the frames' own times: a slow camera, and an interruption that starts the count again.
    model.Segment(moved, alpha, 10.0);
    model.Segment(moved, alpha, 11.0);
    model.Segment(BoothSceneSource::Render(BoothScene::Room, 7, size), alpha, 11.5);
    model.Segment(moved, alpha, 12.0);
    model.Segment(moved, alpha, 13.9);
    EXPECT_FALSE(model.sceneChanged());
    model.Segment(moved, alpha, 14.0);
    EXPECT_TRUE(model.sceneChanged());
}
