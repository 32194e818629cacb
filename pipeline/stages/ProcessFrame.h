#pragma once

#include "pipeline/stages/PictureSettings.h"
#include "pipeline/stages/StageTimes.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <functional>
#include <optional>

class DoodleLayer;
class FlowState;
class GrainRandom;

// The backdrop stage's part of a frame: its state, the backdrop picture and the frame's time.
struct BackdropWork {
    BackdropState& state;
    cv::Mat picture;
    double seconds = 0;
};

struct FunInput {
    FunEffectState* state = nullptr;
    std::optional<FunFace> face;
    std::int64_t frameNumber = 0;
    // Draws into the frame what must move with the picture, just before a fun effect that moves
    // it (FunEffectMovesPicture): the stickers on faces, which would otherwise float where the
    // face was.
    std::function<void(cv::Mat&)> beneathMovingEffect;
};

// Runs the stages on the work frame in their fixed order: flip, backdrop (when given), colour
// adjustment (unless channelsDefault), effect style (inside effectRect while effectRegionOn), fun
// effect (on the whole picture), optical flow (while flowOn), doodle layer (while doodleShown).
// Each stage sees the result of the one before, so the styles and the doodle lie over the
// backdrop as over the room. While the cloth's colour waits for its click (kMousePickKey) the
// picture stays the camera's own: no backdrop, colour adjustment, style or fun effect. Worker
// thread; settings is the copy taken for this frame. A timer, when given, gets a mark after each
// stage.
void ProcessFrame(cv::Mat& frame, const PictureSettings& settings, FlowState& flow, DoodleLayer& doodle,
    GrainRandom& grainRandom, StageTimer* timer = nullptr, BackdropWork* backdrop = nullptr,
    const FunInput& fun = {});

// The worker's pass on one camera frame: takes raw into work (TakeWorkFrame: the zoom, and the
// flip in the same pass), then the stages after the flip. Gives the bytes of TakeWorkFrame
// without the flip followed by ProcessFrame.
void TakeAndProcessFrame(const cv::Mat& raw, cv::Mat& work, const std::optional<cv::Rect>& zoom,
    const PictureSettings& settings, FlowState& flow, DoodleLayer& doodle, GrainRandom& grainRandom,
    StageTimer* timer = nullptr, BackdropWork* backdrop = nullptr, const FunInput& fun = {});
