#pragma once

#include <opencv2/core.hpp>

// How the picture is turned before anything else is done to it.
enum FlipMode : int {
    kFlipMirror = 0,           // mirrored left-right, like a looking glass: the start value
    kFlipMirrorUpsideDown = 1, // mirrored and upside down
    kFlipUpsideDown = 2,       // upside down, not mirrored
    kFlipNone = 3,             // as the camera delivers it
};

// Flips the frame in place. Values other than 0, 1, 2 leave it as it is.
void ApplyFlip(cv::Mat& frame, int flipMode);
// Writes from flipped into to (another picture, made its size); false, writing nothing, when
// flipMode does not turn the picture.
bool FlipInto(const cv::Mat& from, cv::Mat& to, int flipMode);
