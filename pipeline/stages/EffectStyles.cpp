#include "pipeline/stages/EffectStyles.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

void CheckFrame(const cv::Mat& frame)
{
    CV_Assert(frame.empty() || frame.type() == CV_8UC3);
}

// The part of the frame a region-honouring style works on; empty when the region misses it.
cv::Rect WorkArea(const cv::Mat& frame, const std::optional<cv::Rect>& region)
{
    const cv::Rect whole(0, 0, frame.cols, frame.rows);
    return region ? (*region & whole) : whole;
}

// The region grown by margin on every side, clipped to the frame.
cv::Rect Widened(const cv::Mat& frame, const cv::Rect& area, int margin)
{
    return cv::Rect(area.x - margin, area.y - margin, area.width + 2 * margin, area.height + 2 * margin)
        & cv::Rect(0, 0, frame.cols, frame.rows);
}

constexpr int kSketchBlock = 31;

void FineOutlineInPlace(cv::Mat& frame)
{
    if (frame.rows < 3 || frame.cols < 3)
        return;
    const cv::Mat source = frame.clone();
    const int last = (frame.cols - 1) * 3; // first sample of the last column
    for (int y = 1; y < frame.rows - 1; ++y) {
        const uchar* up = source.ptr<uchar>(y - 1);
        const uchar* mid = source.ptr<uchar>(y);
        const uchar* down = source.ptr<uchar>(y + 1);
        uchar* out = frame.ptr<uchar>(y);
        // Sample s of pixel x and its neighbours are 3 bytes apart.
        for (int s = 3; s < last; ++s) {
            const int gy = up[s - 3] + 2 * up[s] + up[s + 3] - down[s - 3] - 2 * down[s] - down[s + 3];
            const int gx = up[s - 3] + 2 * mid[s - 3] + down[s - 3] - up[s + 3] - 2 * mid[s + 3] - down[s + 3];
            const int strength = std::abs(gx) + std::abs(gy);
            out[s] = static_cast<uchar>(strength > 255 ? 255 : strength);
        }
    }
}

} // namespace

void ApplyBlackWhite(cv::Mat& frame, const std::optional<cv::Rect>& region)
{
    CheckFrame(frame);
    const cv::Rect area = WorkArea(frame, region);
    if (area.empty())
        return;
    cv::Mat target = frame(area);
    cv::Mat grey;
    cv::cvtColor(target, grey, cv::COLOR_BGR2GRAY);
    cv::cvtColor(grey, target, cv::COLOR_GRAY2BGR);
}

void ApplyNegative(cv::Mat& frame, const std::optional<cv::Rect>& region)
{
    CheckFrame(frame);
    const cv::Rect area = WorkArea(frame, region);
    if (area.empty())
        return;
    cv::Mat target = frame(area);
    cv::bitwise_not(target, target);
}

void ApplySketch(cv::Mat& frame, const std::optional<cv::Rect>& region)
{
    CheckFrame(frame);
    const cv::Rect area = WorkArea(frame, region);
    if (area.empty())
        return;
    // The threshold compares each pixel with its 31 × 31 neighbourhood; taking the neighbours
    // beside the region too draws the region exactly as the whole sketch would.
    const cv::Rect context = Widened(frame, area, kSketchBlock / 2);
    cv::Mat grey;
    cv::Mat strokes;
    cv::cvtColor(frame(context), grey, cv::COLOR_BGR2GRAY);
    cv::adaptiveThreshold(grey, strokes, 255, cv::ADAPTIVE_THRESH_GAUSSIAN_C, cv::THRESH_BINARY, kSketchBlock, 5);
    cv::Mat target = frame(area);
    cv::cvtColor(strokes(area - context.tl()), target, cv::COLOR_GRAY2BGR);
}

void ApplyFineOutline(cv::Mat& frame, const std::optional<cv::Rect>& region)
{
    CheckFrame(frame);
    const cv::Rect area = WorkArea(frame, region);
    if (area.empty())
        return;
    if (area.width == frame.cols && area.height == frame.rows) {
        FineOutlineInPlace(frame);
        return;
    }
    // Outline a copy one pixel wider than the region, so the region's rim sees its real
    // neighbours; only the picture's own outermost rows and columns keep their values.
    const cv::Rect context = Widened(frame, area, 1);
    cv::Mat outlined = frame(context).clone();
    FineOutlineInPlace(outlined);
    outlined(area - context.tl()).copyTo(frame(area));
}

void ApplyErode(cv::Mat& frame, const std::optional<cv::Rect>& region)
{
    CheckFrame(frame);
    const cv::Rect area = WorkArea(frame, region);
    if (area.empty())
        return;
    // The region is eroded as a picture of its own, edges repeated: eroding the view in place would
    // pull dark things beside the region up to 3 pixels into it.
    const cv::Mat cutOut = frame(area).clone();
    cv::Mat target = frame(area);
    cv::erode(cutOut, target, cv::Mat(), cv::Point(-1, -1), 3, cv::BORDER_REPLICATE);
}

void ApplyEffectStyle(cv::Mat& frame, int effectStyle, GrainRandom& random, const std::optional<cv::Rect>& region)
{
    switch (effectStyle) {
    case kEffectBlackWhite:
        ApplyBlackWhite(frame, region);
        break;
    case kEffectNegative:
        ApplyNegative(frame, region);
        break;
    case kEffectSketch:
        ApplySketch(frame, region);
        break;
    case kEffectFineOutline:
        ApplyFineOutline(frame, region);
        break;
    case kEffectErode:
        ApplyErode(frame, region);
        break;
    case kEffectGrain:
        ApplyGrain(frame, random, region);
        break;
    default:
        break;
    }
}
