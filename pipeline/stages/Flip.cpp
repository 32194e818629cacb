#include "pipeline/stages/Flip.h"

#include <optional>

namespace {

// cv::flip's code for a mode that turns the picture.
std::optional<int> FlipCode(int flipMode)
{
    switch (flipMode) {
    case kFlipMirror:
        return 1;
    case kFlipMirrorUpsideDown:
        return -1;
    case kFlipUpsideDown:
        return 0;
    default:
        return std::nullopt;
    }
}

} // namespace

void ApplyFlip(cv::Mat& frame, int flipMode)
{
    if (frame.empty())
        return;
    if (const std::optional<int> code = FlipCode(flipMode))
        cv::flip(frame, frame, *code);
}

bool FlipInto(const cv::Mat& from, cv::Mat& to, int flipMode)
{
    const std::optional<int> code = FlipCode(flipMode);
    if (!code || from.empty())
        return false;
    CV_Assert(from.data != to.data);
    cv::flip(from, to, *code);
    return true;
}
