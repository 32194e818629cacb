#pragma once

#include <QImage>
#include <QSize>

// Nearest-pixel stretch (the picture is shown unfiltered, as a camera viewer does) into an image
// of the display size: display column x shows picture column ⌊x · width / displayWidth⌋.
void StretchNearestInto(const QImage& image, QImage& target);

// The worker's display images. Two are kept and used in turn, so the one the interface thread is
// still showing is never written; a fresh image each frame would cost more in page faults than
// the stretch itself.
class DisplayBuffers {
public:
    // The picture at display size: the picture itself when the sizes match.
    QImage Stretch(const QImage& picture, QSize displaySize);

private:
    QImage buffers_[2];
    int next_ = 0;
};
