#include "pipeline/stages/Flip.h"

#include "pipeline/stages/FlipKernel.h"

#include <cstdint>
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
#if PARVEL_WIDE_KERNELS
    if (*code != 0 && from.type() == CV_8UC3 && WideKernelsOn()) {
        // Mirrored rows in wide vectors, about four times OpenCV's speed; every frame is mirrored
        // from the start.
        to.create(from.size(), from.type());
        const int last = from.cols - 1;
        for (int y = 0; y < from.rows; ++y) {
            const std::uint8_t* in = from.ptr(*code < 0 ? from.rows - 1 - y : y);
            std::uint8_t* out = to.ptr(y);
            for (int x = kernels_wide::MirrorRowVectors(in, out, from.cols); x <= last; ++x)
                for (int c = 0; c < 3; ++c)
                    out[3 * x + c] = in[3 * (last - x) + c];
        }
        return true;
    }
#endif
    cv::flip(from, to, *code);
    return true;
}
