#pragma once

#include <QImage>
#include <QSize>
#include <opencv2/core.hpp>

// The picture as the screen wants it: 4 bytes a pixel (blue, green, red, opaque) read row by row
// from the frame's own row starts, so any row stride is shown without shear.
QImage FrameToImage(const cv::Mat& bgrFrame);

// Nearest-pixel stretch to the display size (the picture is shown unfiltered, as a camera
// viewer does). Returns the image itself when the size already matches.
QImage StretchNearest(const QImage& image, QSize displaySize);
