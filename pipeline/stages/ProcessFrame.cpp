#include "pipeline/stages/ProcessFrame.h"

#include "pipeline/stages/ColourAdjust.h"
#include "pipeline/stages/Doodle.h"
#include "pipeline/stages/EffectStyles.h"
#include "pipeline/stages/Flip.h"
#include "pipeline/stages/OpticalFlow.h"

void ProcessFrame(cv::Mat& frame, const PictureSettings& settings, FlowState& flow, DoodleLayer& doodle,
    GrainRandom& grainRandom, StageTimer* timer, BackdropWork* backdrop)
{
    if (frame.empty())
        return;
    const auto mark = [timer](Stage stage) {
        if (timer)
            timer->Mark(stage);
    };
    ApplyFlip(frame, settings.flipMode);
    mark(Stage::Flip);
    if (backdrop)
        ApplyBackdrop(frame, settings.backdrop, backdrop->state, backdrop->picture, backdrop->seconds);
    mark(Stage::Backdrop);
    if (!settings.channelsDefault)
        AdjustChannels(frame, settings.colourModel, settings.sliders);
    mark(Stage::Colour);
    std::optional<cv::Rect> region;
    if (settings.effectRegionOn)
        region = settings.effectRect;
    ApplyEffectStyle(frame, settings.effectStyle, grainRandom, region);
    mark(Stage::Style);
    if (settings.flowOn)
        TrackFlow(frame, flow);
    mark(Stage::Flow);
    if (settings.doodleShown)
        doodle.Overlay(frame);
    mark(Stage::Doodle);
}
