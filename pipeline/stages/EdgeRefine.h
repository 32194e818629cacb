#pragma once

#include <opencv2/core.hpp>

// Sharpens a coarse person mask along the picture's own edges: a colour guided filter whose
// coefficients are worked out on the reduced picture and applied at full size (the fast guided
// filter). Only pixels near the mask's edge are filtered; the rest take the coarse value at once,
// which keeps the cost proportional to the outline, not to the picture.
struct EdgeRefineParams {
    int radius = 2;          // window radius, in reduced pixels
    double epsilon = 0.004;  // regularisation, on a 0–1 colour scale: higher smooths more
};

// bgr: the full picture (CV_8UC3). smallBgr: the same picture reduced (CV_8UC3). smallMask: the
// mask at the reduced size (CV_32FC1, 0 = background … 1 = person). alpha: CV_8UC1 at bgr's
// size, 0 … 255.
void RefineMaskEdges(const cv::Mat& bgr, const cv::Mat& smallBgr, const cv::Mat& smallMask, cv::Mat& alpha,
    const EdgeRefineParams& params = {});
