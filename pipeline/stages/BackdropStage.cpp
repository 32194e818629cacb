#include "pipeline/stages/BackdropStage.h"

#include "pipeline/stages/Backdrop.h"
#include "pipeline/stages/ColourKey.h"

#include <optional>

void ApplyBackdrop(cv::Mat& frame, const BackdropSettings& settings, BackdropState& state, const cv::Mat& picture,
    double seconds)
{
    state.sceneJustChanged = false;
    if (frame.empty() || frame.type() != CV_8UC3)
        return;
    if (state.pickAt) {
        cv::Scalar colour;
        if (ColourAround(frame, *state.pickAt, colour))
            state.picked = colour;
        state.pickAt.reset();
    }
    if (state.learning) {
        state.room.Learn(frame);
        return;
    }
    if (settings.look == BackdropLook::Off)
        return;
    if (settings.keyed) {
        ColourKeyAlpha(frame, settings.keyColour, settings.keyTolerance, state.alpha);
    } else {
        if (!state.room.ready())
            return;
        const bool changedBefore = state.room.sceneChanged();
        state.room.Segment(frame, state.alpha, seconds);
        state.sceneJustChanged = !changedBefore && state.room.sceneChanged();
    }
    if (settings.look == BackdropLook::Blur) {
        BlurBackground(frame, state.alpha, settings.blurStrength);
        return;
    }
    std::optional<cv::Scalar> spill;
    if (settings.keyed)
        spill = settings.keyColour;
    Composite(frame, state.alpha, picture, spill);
}

bool ColourAround(const cv::Mat& bgr, cv::Point point, cv::Scalar& colour)
{
    if (bgr.empty() || !cv::Rect(0, 0, bgr.cols, bgr.rows).contains(point))
        return false;
    constexpr int kHalf = 3;
    const cv::Rect square = cv::Rect(point.x - kHalf, point.y - kHalf, 2 * kHalf + 1, 2 * kHalf + 1)
        & cv::Rect(0, 0, bgr.cols, bgr.rows);
    colour = cv::mean(bgr(square));
    colour[3] = 0;
    return true;
}
