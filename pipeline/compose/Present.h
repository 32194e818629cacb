#pragma once

#include <QImage>
#include <QSize>

// Scales a 32-bit picture to the target's size by area averaging: each display pixel is the mean
// of the picture pixels it covers, so a one-pixel line stays visible (dimmed) at the reduced
// display sizes, where a nearest-pixel stretch would drop it. Three quarters of the picture size
// has a fast path of its own; other shrinking sizes one with the bytes of cv::resize(INTER_AREA),
// which does the rest.
void ScaleByAreaInto(const QImage& picture, QImage& target);

// The presenter's display images. Two are kept and used in turn, so the one the interface thread is
// still showing is never written; a fresh image each frame would cost more in page faults than
// the scaling itself.
class DisplayBuffers {
public:
    // The picture at display size: the picture itself when the sizes match.
    QImage Stretch(const QImage& picture, QSize displaySize);

private:
    QImage buffers_[2];
    int next_ = 0;
};
