#pragma once

#include "pipeline/stages/BackgroundModel.h"

#include <opencv2/core.hpp>

#include <optional>

// What happens behind the person.
enum class BackdropLook : int {
    Off,
    Replace, // another picture behind the person
    Blur,    // the room itself, blurred
};

// How the person is told from what is behind them: a learnt picture of the empty room, or a
// coloured cloth.
struct BackdropSettings {
    BackdropLook look = BackdropLook::Off;
    bool keyed = false;                    // a cloth of keyColour instead of the learnt room
    cv::Scalar keyColour { 0, 255, 0, 0 }; // blue, green, red
    int keyTolerance = 50;                 // 0 … 100
    int blurStrength = 60;                 // 0 … 100
    bool operator==(const BackdropSettings&) const = default;
};

inline const cv::Scalar kGreenCloth { 0, 255, 0, 0 };
inline const cv::Scalar kBlueCloth { 255, 0, 0, 0 };

// What the stage keeps from frame to frame (worker only).
struct BackdropState {
    BackgroundModel room;
    cv::Mat alpha;
    // Set while the room is being learnt: frames are learnt, nothing is replaced.
    bool learning = false;
    // The room reported a changed scene on this frame and had not before.
    bool sceneJustChanged = false;
    // A point of the picture (as shown, after the flip) whose colour is wanted for the cloth; the
    // stage takes it from the frame before any backdrop and leaves it in picked.
    std::optional<cv::Point> pickAt;
    std::optional<cv::Scalar> picked;
};

// One frame of the stage. picture: the backdrop for Replace (any size, scaled to the frame's;
// empty leaves the room as it is). seconds: the frame's time. While learning, the frame is learnt
// as the empty room and left as it is; with the learnt room and none learnt yet, nothing changes.
void ApplyBackdrop(cv::Mat& frame, const BackdropSettings& settings, BackdropState& state, const cv::Mat& picture,
    double seconds);

// The colour of the picture around a point (the mean of a small square), for taking the cloth's
// colour from a click; nothing for a point outside the picture.
bool ColourAround(const cv::Mat& bgr, cv::Point point, cv::Scalar& colour);
