#pragma once

#include <opencv2/core.hpp>

// A picture as the recorders store it: three 8-bit channels, blue, green, red. Four-channel and
// grey pictures are converted; an empty picture, or one of any other type, gives an empty one.
cv::Mat AsBgr(const cv::Mat& picture);
