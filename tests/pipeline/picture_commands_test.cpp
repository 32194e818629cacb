#include "pipeline/stages/Doodle.h"
#include "pipeline/stages/EffectStyles.h"
#include "pipeline/stages/Flip.h"
#include "pipeline/stages/OpticalFlow.h"
#include "pipeline/PictureCommands.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StyleAndFlipCommands, ToggleBetweenTheirValueAndZero)
{
    PictureSettings s;
    ToggleEffectStyle(s, kEffectBlackWhite);
    EXPECT_TRUE(EffectStylePressed(s, kEffectBlackWhite));
    ToggleEffectStyle(s, kEffectBlackWhite);
    EXPECT_EQ(s.effectStyle, 0);
    ToggleEffectStyle(s, kEffectBlackWhite);
    ToggleEffectStyle(s, kEffectSketch);
    EXPECT_EQ(s.effectStyle, kEffectSketch);
    EXPECT_FALSE(EffectStylePressed(s, kEffectBlackWhite));

    ToggleFlip(s, kFlipNone); // "左右翻转": the camera's own orientation
    EXPECT_TRUE(FlipPressed(s, kFlipNone));
    ToggleFlip(s, kFlipMirrorUpsideDown); // "上下翻转" while "左右翻转" is lit
    EXPECT_EQ(s.flipMode, kFlipMirrorUpsideDown);
    EXPECT_FALSE(FlipPressed(s, kFlipNone));
    ToggleFlip(s, kFlipUpsideDown); // the last command wins
    EXPECT_EQ(s.flipMode, kFlipUpsideDown);
    ToggleFlip(s, kFlipUpsideDown);
    EXPECT_EQ(s.flipMode, kFlipMirror);
}

TEST(ColourCommands, SlidersModelsAndTheDefaultButton)
{
    PictureSettings s;
    EXPECT_TRUE(s.channelsDefault);
    SetBrightness(s, 2, 150);
    EXPECT_EQ(s.sliders.brightness[2], 150);
    EXPECT_FALSE(s.channelsDefault);
    SetBrightness(s, 2, 100); // moved back: still custom until RGB or the default button
    EXPECT_FALSE(s.channelsDefault);
    EXPECT_TRUE(ChannelsButtonPressed(s));
    SelectColourModel(s, kColourRgb);
    EXPECT_TRUE(s.channelsDefault);

    SetContrast(s, 0, 30);
    SelectColourModel(s, kColourRgb); // not all at 100: stays on
    EXPECT_FALSE(s.channelsDefault);
    ResetChannels(s);
    SelectColourModel(s, kColourHls); // any other model is always applied
    EXPECT_FALSE(s.channelsDefault);
    EXPECT_TRUE(ColourModelPressed(s, kColourHls));
    ResetChannels(s);
    EXPECT_EQ(s.colourModel, kColourRgb);
    EXPECT_TRUE(s.channelsDefault);
    EXPECT_EQ(s.sliders.contrast[0], 100);
}

TEST(RegionCommands, ArmOnlyWhileRunningAndCancelEachUse)
{
    PictureSettings s;
    ArmZoomRegion(s, false);
    EXPECT_FALSE(s.regionArmed);
    EXPECT_EQ(ArmEffectRegion(s, false), ArmResult::Ignored);

    ArmZoomRegion(s, true);
    EXPECT_TRUE(s.regionArmed);
    EXPECT_EQ(s.mouseMode, kMouseSelectRegion);
    EXPECT_TRUE(ZoomRegionPressed(s));
    PictureRegion region { { 340, 50, 200, 150 }, { 100, 50, 200, 150 } };
    ApplySelectedRegion(s, region, true);
    EXPECT_FALSE(s.regionArmed);
    EXPECT_TRUE(s.zoomRegionOn);
    EXPECT_FALSE(s.effectRegionOn);
    EXPECT_EQ(ZoomInForce(s), std::optional<cv::Rect>(region.zoomRect));
    EXPECT_EQ(s.mouseMode, kMouseDragAddOns) << "the selection over, the mouse drags stickers again";

    // The effect region needs a style.
    const PictureSettings before = s;
    EXPECT_EQ(ArmEffectRegion(s, true), ArmResult::NoEffectStyle);
    EXPECT_EQ(s.regionPurpose, before.regionPurpose);
    ToggleEffectStyle(s, kEffectGrain);
    EXPECT_EQ(ArmEffectRegion(s, true), ArmResult::Armed);
    EXPECT_TRUE(EffectRegionPressed(s));
    // Confirming the effect region rewrites the zoom rectangle as well.
    PictureRegion second { { 0, 0, 10, 10 }, { 630, 0, 10, 10 } };
    ApplySelectedRegion(s, second, true);
    EXPECT_TRUE(s.effectRegionOn);
    EXPECT_EQ(s.zoomRect, second.zoomRect);

    // Cancelled confirmation or an empty selection: only disarmed.
    ArmZoomRegion(s, true);
    ApplySelectedRegion(s, region, false);
    ApplySelectedRegion(s, std::nullopt, true);
    EXPECT_FALSE(s.regionArmed);
    EXPECT_FALSE(s.zoomRegionOn);
    EXPECT_EQ(s.zoomRect, second.zoomRect);

    ArmEffectRegion(s, true);
    CancelEffectRegion(s);
    EXPECT_FALSE(s.effectRegionOn);
    EXPECT_EQ(s.regionPurpose, kRegionNone);
    EXPECT_EQ(s.mouseMode, kMouseDragAddOns);
    s.mouseMode = kMouseDoodle;
    CancelZoomRegion(s); // only the selecting mode is ended
    EXPECT_EQ(s.mouseMode, kMouseDoodle);
}

TEST(FlowCommands, StartNeedsTheCameraNightAndExitNeedThePlay)
{
    PictureSettings s;
    FlowState flow;
    const cv::Scalar red = ColourFromButton(0x0000FF);
    EXPECT_EQ(red, cv::Scalar(0, 0, 255, 0));
    EXPECT_EQ(ColourFromButton(0x123456), cv::Scalar(0x12, 0x34, 0x56, 0));

    ToggleFlowNight(s, flow);
    EXPECT_FALSE(FlowNightPressed(flow));
    StartFlowAuto(s, flow, false, red);
    EXPECT_FALSE(s.flowOn);
    StartFlowAuto(s, flow, true, red);
    EXPECT_TRUE(FlowAutoPressed(s));
    EXPECT_EQ(flow.Colour(), red);
    ToggleFlowManual(s, flow, true, red);
    EXPECT_TRUE(FlowManualPressed(s));
    ToggleFlowNight(s, flow);
    EXPECT_TRUE(FlowNightPressed(flow));
    ExitFlow(s, flow);
    EXPECT_FALSE(s.flowOn);
    EXPECT_FALSE(s.flowManualAdd);
    EXPECT_FALSE(flow.Night());
    ToggleFlowManual(s, flow, true, red);
    EXPECT_TRUE(s.flowOn);
    EXPECT_TRUE(s.flowManualAdd);
}

TEST(DoodleCommands, PaintHideClearAndPenWidths)
{
    PictureSettings s;
    DoodleLayer doodle;
    const cv::Scalar red(0, 0, 255, 0);
    ToggleMousePaint(s, red);
    EXPECT_TRUE(MousePaintPressed(s));
    EXPECT_TRUE(s.doodleShown);
    EXPECT_EQ(s.paintColour, red);
    TogglePaintShown(s);
    EXPECT_FALSE(s.doodleShown);
    TogglePaintShown(s);
    ToggleMousePaint(s, red); // ends painting, the drawing stays, the mouse drags stickers again
    EXPECT_EQ(s.mouseMode, kMouseDragAddOns);
    EXPECT_TRUE(DragAddOnsPressed(s));
    EXPECT_TRUE(s.doodleShown);

    ToggleMousePaint(s, red);
    ClearPaint(s, doodle, { 64, 48 }); // the ink goes, the pen stays
    EXPECT_TRUE(MousePaintPressed(s));
    EXPECT_TRUE(s.doodleShown);
    EXPECT_EQ(doodle.Canvas().size(), cv::Size(64, 48));
    ToggleMousePaint(s, red);
    ClearPaint(s, doodle, { 64, 48 }); // not painting: nothing left to show
    EXPECT_FALSE(s.doodleShown);
    EXPECT_EQ(s.mouseMode, kMouseDragAddOns);
    EXPECT_FALSE(UndoPaint(s, doodle)); // nothing was painted: nothing to bring back
    EXPECT_FALSE(s.doodleShown);
    doodle.BeginStroke({ 2, 2 });
    doodle.ExtendStroke({ 40, 30 }, red, 3);
    doodle.EndStroke();
    ClearPaint(s, doodle, { 64, 48 });
    EXPECT_TRUE(UndoPaint(s, doodle)); // the clear taken back shows the drawing again
    EXPECT_TRUE(s.doodleShown);

    const int widths[] = { 1, 3, 5, 8, 10, 13, 16, 20 };
    for (int i = 0; i < 8; ++i) {
        SelectPenWidth(s, i);
        EXPECT_EQ(s.penWidth, widths[i]);
    }
    SelectPenWidth(s, 8);
    SelectPenWidth(s, -1);
    EXPECT_EQ(s.penWidth, 20);
}

TEST(MouseModeCommands, ChoosingOneModeEndsThePrevious)
{
    PictureSettings s;
    EXPECT_TRUE(DragAddOnsPressed(s)); // lit at start
    ToggleDragAddOns(s);
    EXPECT_EQ(s.mouseMode, kMouseNothing);
    ToggleMousePaint(s, {});
    TogglePhotoClick(s); // while doodling: photo mode, the doodle stays shown
    EXPECT_TRUE(PhotoClickPressed(s));
    EXPECT_FALSE(MousePaintPressed(s));
    EXPECT_TRUE(s.doodleShown);
    TogglePhotoClick(s); // photo mode off: back to dragging, lit
    EXPECT_EQ(s.mouseMode, kMouseDragAddOns);
    ArmClothPick(s);
    EXPECT_TRUE(ClothPickArmed(s));
    UseClothColour(s, { 0, 255, 0 });
    EXPECT_EQ(s.mouseMode, kMouseDragAddOns);
    ArmClothPick(s);
    ArmClothPick(s); // disarmed again
    EXPECT_EQ(s.mouseMode, kMouseDragAddOns);
    ToggleDragAddOns(s); // only its own button leaves the mouse doing nothing
    EXPECT_EQ(s.mouseMode, kMouseNothing);
    OnCameraStopped(s);
    EXPECT_FALSE(s.doodleShown);
}

} // namespace
