#include "pipeline/stages/EffectStyles.h"
#include "pipeline/stages/GrainKernel.h"
#include "pipeline/stages/StripCount.h"
#include "pipeline/stages/YCrCbExact.h"

#include <opencv2/core.hpp>

#include <vector>

namespace {

// One pixel: to YCrCb, the luma curve of its level, chroma halved toward 128, and back. Only the
// few pixels that end a row come here; the vector kernel works the curve out in its own way.
inline void GrainPixel(uchar* p, std::uint8_t level)
{
    const int y = ycrcb::Luma(p[0], p[1], p[2]);
    const int cr = ycrcb::Cr(p[2], y);
    const int cb = ycrcb::Cb(p[0], y);
    const int curved = GrainLuma(level, y);
    const int crOffset = GrainChroma(cr) - 128;
    const int cbOffset = GrainChroma(cb) - 128;
    p[0] = static_cast<uchar>(ycrcb::Blue(curved, cbOffset));
    p[1] = static_cast<uchar>(ycrcb::Green(curved, crOffset, cbOffset));
    p[2] = static_cast<uchar>(ycrcb::Red(curved, crOffset));
}

using RowVectors = int (*)(std::uint8_t*, const std::uint8_t*, int);

void GrainRow(RowVectors vectors, uchar* p, const std::uint8_t* level, int cols)
{
    for (int x = vectors(p, level, cols); x < cols; ++x)
        GrainPixel(p + 3 * x, level[x]);
}

} // namespace

std::uint8_t GrainLuma(int r, int luma)
{
    const double t = r + 1.7 * luma - 10;
    return cv::saturate_cast<uchar>(t * t / 255);
}

std::uint8_t GrainChroma(int chroma)
{
    return static_cast<std::uint8_t>((chroma - 128) / 2 + 128);
}

void ApplyGrain(cv::Mat& frame, GrainRandom& random, const std::optional<cv::Rect>& region)
{
    CV_Assert(frame.empty() || frame.type() == CV_8UC3);
    const cv::Rect whole(0, 0, frame.cols, frame.rows);
    const cv::Rect area = region ? (*region & whole) : whole;
    if (area.empty())
        return;
    cv::Mat target = frame(area);

    // The noise is drawn first, in row-major order, as levels 0 … 20; then each pixel is converted,
    // curved and converted back in one step, rows shared among the cores.
    const int cols = target.cols;
    thread_local std::vector<std::uint8_t> levels;
    levels.resize(static_cast<std::size_t>(cols) * target.rows);
    random.FillLevels(levels.data(), static_cast<int>(levels.size()));

    const std::uint8_t* allLevels = levels.data();
    const RowVectors vectors = PARVEL_KERNEL(GrainRowVectors);
    ForEachStrip(target.rows, cols * 3, [&](int first, int end) {
        for (int y = first; y < end; ++y)
            GrainRow(vectors, target.ptr<uchar>(y), allLevels + static_cast<std::size_t>(y) * cols, cols);
    });
}
