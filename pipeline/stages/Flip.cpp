#include "pipeline/stages/Flip.h"

void ApplyFlip(cv::Mat& frame, int flipMode)
{
    if (frame.empty())
        return;
    switch (flipMode) {
    case kFlipMirror:
        cv::flip(frame, frame, 1);
        break;
    case kFlipMirrorUpsideDown:
        cv::flip(frame, frame, -1);
        break;
    case kFlipUpsideDown:
        cv::flip(frame, frame, 0);
        break;
    default:
        break;
    }
}
