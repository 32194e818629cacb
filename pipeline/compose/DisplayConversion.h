#pragma once

#include <QImage>

#include <opencv2/core.hpp>

// Fills picture (Format_ARGB32_Premultiplied, opaque) from a BGR frame, converting straight into
// the image's buffer; the image is reallocated only when the size changes.
void FillPictureFromFrame(const cv::Mat& bgrFrame, QImage& picture);
