#include "pipeline/stages/ProcessFrame.h"

#include "pipeline/stages/ColourAdjust.h"
#include "pipeline/stages/Doodle.h"
#include "pipeline/stages/EffectStyles.h"
#include "pipeline/stages/Flip.h"
#include "pipeline/stages/FunEffect.h"
#include "pipeline/stages/OpticalFlow.h"
#include "pipeline/stages/ZoomCut.h"

namespace {

void Mark(StageTimer* timer, Stage stage)
{
    if (timer)
        timer->Mark(stage);
}

// While the cloth's colour waits for its click the picture is the camera's own: the cloth not yet
// keyed out, nothing recoloured or moved, so that the colour the click takes is the one the user
// sees there. The click's colour is still taken, and a learning of the room goes on.
PictureSettings AsTheCameraGivesIt(PictureSettings s)
{
    s.backdrop.look = BackdropLook::Off;
    s.channelsDefault = true;
    s.effectStyle = kEffectNone;
    s.effectRegionOn = false;
    s.funEffect = kFunNone;
    return s;
}

// Every stage after the flip.
void AfterFlip(cv::Mat& frame, const PictureSettings& chosen, FlowState& flow, DoodleLayer& doodle,
    GrainRandom& grainRandom, StageTimer* timer, BackdropWork* backdrop, const FunInput& fun)
{
    std::optional<PictureSettings> plain;
    if (chosen.mouseMode == kMousePickKey)
        plain = AsTheCameraGivesIt(chosen);
    const PictureSettings& settings = plain ? *plain : chosen;
    if (backdrop)
        ApplyBackdrop(frame, settings.backdrop, backdrop->state, backdrop->picture, backdrop->seconds);
    Mark(timer, Stage::Backdrop);
    if (!settings.channelsDefault)
        AdjustChannels(frame, settings.colourModel, settings.sliders);
    Mark(timer, Stage::Colour);
    std::optional<cv::Rect> region;
    if (settings.effectRegionOn)
        region = settings.effectRect;
    ApplyEffectStyle(frame, settings.effectStyle, grainRandom, region);
    Mark(timer, Stage::Style);
    // Before the dots and the doodle: both are placed by clicks on the picture as shown, so they
    // must lie where it shows them, not be bent by a mirror after.
    if (settings.funEffect != kFunNone) {
        if (fun.beneathMovingEffect && FunEffectMovesPicture(settings.funEffect))
            fun.beneathMovingEffect(frame);
        thread_local FunEffectState ownState;
        ApplyFunEffect(frame, settings.funEffect, fun.state ? *fun.state : ownState, fun.face, fun.frameNumber);
    }
    Mark(timer, Stage::Fun);
    if (settings.flowOn)
        TrackFlow(frame, flow);
    Mark(timer, Stage::Flow);
    if (settings.doodleShown)
        doodle.Overlay(frame);
    Mark(timer, Stage::Doodle);
}

} // namespace

void ProcessFrame(cv::Mat& frame, const PictureSettings& settings, FlowState& flow, DoodleLayer& doodle,
    GrainRandom& grainRandom, StageTimer* timer, BackdropWork* backdrop, const FunInput& fun)
{
    if (frame.empty())
        return;
    ApplyFlip(frame, settings.flipMode);
    Mark(timer, Stage::Flip);
    AfterFlip(frame, settings, flow, doodle, grainRandom, timer, backdrop, fun);
}

void TakeAndProcessFrame(const cv::Mat& raw, cv::Mat& work, const std::optional<cv::Rect>& zoom,
    const PictureSettings& settings, FlowState& flow, DoodleLayer& doodle, GrainRandom& grainRandom,
    StageTimer* timer, BackdropWork* backdrop, const FunInput& fun)
{
    if (raw.empty())
        return;
    TakeWorkFrame(raw, work, zoom, settings.flipMode);
    Mark(timer, Stage::Take);
    AfterFlip(work, settings, flow, doodle, grainRandom, timer, backdrop, fun);
}
