#include "pipeline/stages/Doodle.h"

#include "StageTestUtil.h"

#include <gtest/gtest.h>

namespace {

const cv::Scalar kKeyScalar(47, 107, 85);

// The overlay pixel by pixel.
void ReferenceOverlay(cv::Mat& frame, const cv::Mat& canvas, const cv::Vec3b& key)
{
    for (int i = 0; i < canvas.rows; ++i)
        for (int k = 0; k < canvas.cols; ++k) {
            const cv::Vec3b p = canvas.at<cv::Vec3b>(i, k);
            if (p != key && i < frame.rows && k < frame.cols)
                frame.at<cv::Vec3b>(i, k) = p;
        }
}

cv::Mat SprinkledCanvas(cv::Size size, std::uint64_t seed)
{
    cv::Mat canvas;
    ClearDoodle(canvas, size);
    cv::RNG rng(seed);
    for (int n = 0; n < size.area() / 3; ++n) {
        const cv::Point p(rng.uniform(0, size.width), rng.uniform(0, size.height));
        // Some pixels differ from the key in one byte only.
        cv::Vec3b v = kDoodleKey;
        v[rng.uniform(0, 3)] = static_cast<uchar>(rng.uniform(0, 256));
        canvas.at<cv::Vec3b>(p) = n % 2 ? v : cv::Vec3b(rng.uniform(0, 256), rng.uniform(0, 256), 9);
    }
    return canvas;
}

TEST(OverlayDoodle, EqualsPixelLoopForAnySizes)
{
    for (auto [canvasSize, frameSize] : { std::pair<cv::Size, cv::Size> { { 64, 48 }, { 64, 48 } },
             { { 64, 48 }, { 40, 30 } }, { { 30, 20 }, { 64, 48 } } }) {
        const cv::Mat canvas = SprinkledCanvas(canvasSize, canvasSize.area());
        cv::Mat fast = RandomFrame(frameSize.width, frameSize.height, 3);
        cv::Mat reference = fast.clone();
        OverlayDoodle(fast, canvas);
        ReferenceOverlay(reference, canvas, kDoodleKey);
        ASSERT_TRUE(SameBytes(fast, reference)) << canvasSize << frameSize;
    }
}

TEST(DoodleLayer, CachedMaskEqualsPixelLoopAcrossStrokes)
{
    DoodleLayer layer;
    layer.Clear({ 80, 60 });
    const cv::Mat picture = RandomFrame(80, 60, 12);
    cv::RNG rng(5);
    for (int stroke = 0; stroke < 6; ++stroke) {
        layer.BeginStroke({ rng.uniform(0, 80), rng.uniform(0, 60) });
        for (int move = 0; move < 3; ++move)
            layer.ExtendStroke({ rng.uniform(-10, 90), rng.uniform(-10, 70) },
                cv::Scalar(rng.uniform(0, 256), rng.uniform(0, 256), rng.uniform(0, 256)), 1 + stroke * stroke * 2);
        layer.EndStroke();
        for (int frame = 0; frame < 2; ++frame) { // the second frame uses the kept mask
            cv::Mat fast = picture.clone();
            cv::Mat reference = picture.clone();
            layer.Overlay(fast);
            ReferenceOverlay(reference, layer.Canvas(), kDoodleKey);
            ASSERT_TRUE(SameBytes(fast, reference)) << stroke;
        }
    }
}

TEST(DoodleLayer, PressWithoutMoveAndKeyColourDrawNothing)
{
    DoodleLayer layer;
    layer.Clear({ 40, 30 });
    const cv::Mat empty = layer.Canvas();
    layer.BeginStroke({ 10, 10 });
    layer.EndStroke();
    EXPECT_TRUE(SameBytes(layer.Canvas(), empty));

    layer.BeginStroke({ 5, 5 });
    layer.ExtendStroke({ 30, 20 }, kKeyScalar, 8);
    layer.EndStroke();
    const cv::Mat picture = RandomFrame(40, 30, 1);
    cv::Mat frame = picture.clone();
    layer.Overlay(frame);
    EXPECT_TRUE(SameBytes(frame, picture));

    // A move without a press draws nothing either.
    layer.ExtendStroke({ 1, 1 }, cv::Scalar(0, 0, 255), 3);
    EXPECT_TRUE(SameBytes(layer.Canvas(), empty));
}

TEST(DoodleLayer, ThickStrokesAndDotsAreLaidOverWhole)
{
    // Lone strokes, so no other stroke's part of the picture covers for a thick pen's sides and
    // round ends: along each axis, slanting, and a dot (a press and a move to the same place).
    struct Stroke {
        cv::Point from, to;
        int width;
    };
    for (const Stroke& stroke : { Stroke { { 30, 60 }, { 170, 60 }, 31 }, Stroke { { 100, 20 }, { 100, 100 }, 25 },
             Stroke { { 40, 30 }, { 150, 95 }, 40 }, Stroke { { 100, 60 }, { 100, 60 }, 51 },
             Stroke { { 3, 3 }, { 3, 3 }, 20 } }) {
        DoodleLayer layer;
        layer.Clear({ 200, 120 });
        layer.BeginStroke(stroke.from);
        layer.ExtendStroke(stroke.to, cv::Scalar(10, 200, 30), stroke.width);
        layer.EndStroke();
        cv::Mat fast = RandomFrame(200, 120, 8);
        cv::Mat reference = fast.clone();
        layer.Overlay(fast);
        ReferenceOverlay(reference, layer.Canvas(), kDoodleKey);
        EXPECT_TRUE(SameBytes(fast, reference)) << stroke.width;
    }
}

TEST(DoodleLayer, StrokeJoinsSampledPositionsAndClearEmpties)
{
    DoodleLayer layer;
    layer.Clear({ 100, 80 });
    layer.BeginStroke({ 10, 40 });
    layer.ExtendStroke({ 90, 40 }, cv::Scalar(0, 0, 255), 20);
    layer.ExtendStroke({ 90, 70 }, cv::Scalar(255, 0, 0), 1);
    layer.EndStroke();
    const cv::Mat canvas = layer.Canvas();
    EXPECT_EQ(canvas.at<cv::Vec3b>(40, 50), cv::Vec3b(0, 0, 255));
    EXPECT_EQ(canvas.at<cv::Vec3b>(31, 50), cv::Vec3b(0, 0, 255)); // width 20 reaches 9 above
    EXPECT_EQ(canvas.at<cv::Vec3b>(20, 50), kDoodleKey);
    EXPECT_EQ(canvas.at<cv::Vec3b>(65, 90), cv::Vec3b(255, 0, 0));
    EXPECT_EQ(canvas.at<cv::Vec3b>(65, 92), kDoodleKey);

    layer.Clear({ 100, 80 });
    cv::Mat frame = RandomFrame(100, 80, 2);
    const cv::Mat before = frame.clone();
    layer.Overlay(frame);
    EXPECT_TRUE(SameBytes(frame, before));
    EXPECT_EQ(canvas.at<cv::Vec3b>(40, 50), cv::Vec3b(0, 0, 255));
}

} // namespace

// Undo takes strokes back newest first, pixel for pixel (also where a later stroke crossed an
// earlier one), and the overlay follows; a press without a move is no step of its own.
TEST(DoodleUndo, StrokesComeOffNewestFirstAndTheOverlayFollows)
{
    DoodleLayer layer;
    layer.Clear({ 120, 90 });
    std::vector<cv::Mat> states { layer.Canvas() };
    cv::RNG rng(11);
    for (int stroke = 0; stroke < 4; ++stroke) {
        layer.BeginStroke({ rng.uniform(0, 120), rng.uniform(0, 90) });
        for (int move = 0; move < 3; ++move)
            layer.ExtendStroke({ rng.uniform(0, 120), rng.uniform(0, 90) }, cv::Scalar(40 * stroke, 200, 30), 3 + 4 * stroke);
        layer.EndStroke();
        states.push_back(layer.Canvas());
        layer.BeginStroke({ 5, 5 }); // a click: nothing painted, nothing to take back
        layer.EndStroke();
    }
    EXPECT_EQ(layer.undoLevels(), 4u);
    const cv::Mat picture = RandomFrame(120, 90, 4);
    for (int stroke = 3; stroke >= 0; --stroke) {
        cv::Mat shown = picture.clone();
        layer.Overlay(shown); // the mask of the later canvas is cached here
        ASSERT_TRUE(layer.Undo());
        ASSERT_TRUE(SameBytes(layer.Canvas(), states[stroke])) << stroke;
        cv::Mat fast = picture.clone();
        cv::Mat reference = picture.clone();
        layer.Overlay(fast);
        ReferenceOverlay(reference, states[stroke], kDoodleKey);
        ASSERT_TRUE(SameBytes(fast, reference)) << stroke;
    }
    EXPECT_FALSE(layer.CanUndo());
    EXPECT_FALSE(layer.Undo());
}

// A clear is one step: undone, the whole drawing is back, and the strokes before it can be taken
// back after it. A new camera start (Clear) keeps nothing to undo.
TEST(DoodleUndo, AWipeComesBackWholeAndANewStartForgets)
{
    DoodleLayer layer;
    layer.Clear({ 80, 60 });
    layer.BeginStroke({ 10, 10 });
    layer.ExtendStroke({ 70, 50 }, cv::Scalar(0, 0, 255), 5);
    layer.EndStroke();
    const cv::Mat drawn = layer.Canvas();
    layer.Wipe({ 80, 60 });
    cv::Mat empty;
    ClearDoodle(empty, { 80, 60 });
    EXPECT_TRUE(SameBytes(layer.Canvas(), empty));
    ASSERT_TRUE(layer.Undo());
    EXPECT_TRUE(SameBytes(layer.Canvas(), drawn));
    ASSERT_TRUE(layer.Undo());
    EXPECT_TRUE(SameBytes(layer.Canvas(), empty));

    layer.BeginStroke({ 10, 10 });
    layer.ExtendStroke({ 70, 50 }, cv::Scalar(0, 0, 255), 5);
    layer.Clear({ 80, 60 }); // also ends the stroke in progress
    EXPECT_FALSE(layer.CanUndo());
    layer.ExtendStroke({ 20, 20 }, cv::Scalar(0, 0, 255), 5);
    EXPECT_TRUE(SameBytes(layer.Canvas(), empty));
}

// An undo while the button is still held takes back the stroke so far; the moves that follow
// draw nothing until the next press. Only the newest levels are kept.
TEST(DoodleUndo, MidStrokeUndoEndsTheStrokeAndOldLevelsGo)
{
    DoodleLayer layer;
    layer.Clear({ 60, 40 });
    cv::Mat empty = layer.Canvas();
    layer.BeginStroke({ 5, 5 });
    layer.ExtendStroke({ 50, 30 }, cv::Scalar(255, 0, 0), 3);
    EXPECT_TRUE(layer.CanUndo());
    ASSERT_TRUE(layer.Undo());
    layer.ExtendStroke({ 10, 35 }, cv::Scalar(255, 0, 0), 3);
    layer.EndStroke();
    EXPECT_TRUE(SameBytes(layer.Canvas(), empty));

    for (std::size_t i = 0; i < DoodleLayer::kUndoLevels + 5; ++i) {
        layer.BeginStroke({ int(i % 60), 0 });
        layer.ExtendStroke({ int(i % 60), 39 }, cv::Scalar(0, 255, 0), 1);
        layer.EndStroke();
    }
    EXPECT_EQ(layer.undoLevels(), DoodleLayer::kUndoLevels);
    while (layer.Undo()) {
    }
    EXPECT_FALSE(SameBytes(layer.Canvas(), empty)) << "the oldest strokes stay";
}
