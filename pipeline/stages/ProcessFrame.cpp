#include "pipeline/stages/ProcessFrame.h"

#include "pipeline/stages/ColourAdjust.h"
#include "pipeline/stages/Doodle.h"
#include "pipeline/stages/EffectStyles.h"
#include "pipeline/stages/Flip.h"
#include "pipeline/stages/OpticalFlow.h"

void ProcessFrame(cv::Mat& frame, const PictureSettings& settings, FlowState& flow, DoodleLayer& doodle,
    GrainRandom& grainRandom)
{
    if (frame.empty())
        return;
    ApplyFlip(frame, settings.flipMode);
    if (!settings.channelsDefault)
        AdjustChannels(frame, settings.colourModel, settings.sliders);
    std::optional<cv::Rect> region;
    if (settings.effectRegionOn)
        region = settings.effectRect;
    ApplyEffectStyle(frame, settings.effectStyle, grainRandom, region);
    if (settings.flowOn)
        TrackFlow(frame, flow);
    if (settings.doodleShown)
        doodle.Overlay(frame);
}
