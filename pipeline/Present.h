#pragma once

#include <QImage>
#include <QSize>
#include <opencv2/core.hpp>

// Nearest-pixel stretch to the display size (the picture is shown unfiltered, as a camera
// viewer does). Returns the image itself when the size already matches.
QImage StretchNearest(const QImage& image, QSize displaySize);
