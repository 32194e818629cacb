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

constexpr unsigned kGrainLevels = 21;
// Rows converted at a time: a strip and its converted copy fit in a core's own cache.
constexpr int kStripBytes = 32 * 1024;

struct GrainTables {
    std::array<std::uint8_t, kGrainLevels * 256> luma {};
    std::array<std::uint8_t, 256> chroma {};
    GrainTables()
    {
        for (int r = 0; r < static_cast<int>(kGrainLevels); ++r)
            for (int y = 0; y < 256; ++y)
                luma[r * 256 + y] = GrainLuma(r, y);
        for (int v = 0; v < 256; ++v)
            chroma[v] = GrainChroma(v);
    }
};

const GrainTables& Tables()
{
    static const GrainTables tables;
    return tables;
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

void ApplyGrain(cv::Mat& frame, GrainRandom& random, const std::optional<cv::Rect>& region)
{
    CheckFrame(frame);
    const cv::Rect area = WorkArea(frame, region);
    if (area.empty())
        return;
    cv::Mat target = frame(area);

    // The noise is drawn first, in the row-major luma order, as levels 0 … 20; then the strips
    // are converted, curved and converted back a few rows at a time (each strip's converted copy
    // still in the cache), shared among the cores. Each pixel is converted on its own, so the
    // bytes are those of the whole region converted at once.
    const int cols = target.cols;
    thread_local std::vector<std::uint8_t> levels;
    thread_local std::vector<int> noise;
    levels.resize(static_cast<std::size_t>(cols) * target.rows);
    noise.resize(cols);
    for (int y = 0; y < target.rows; ++y) {
        random.Fill(noise.data(), cols);
        std::uint8_t* level = levels.data() + static_cast<std::size_t>(y) * cols;
        for (int x = 0; x < cols; ++x)
            level[x] = static_cast<std::uint8_t>(static_cast<unsigned>(noise[x]) % kGrainLevels);
    }

    const GrainTables& tables = Tables();
    const std::uint8_t* luma = tables.luma.data();
    const std::uint8_t* chroma = tables.chroma.data();
    const std::uint8_t* allLevels = levels.data();
    const int stripRows = std::max(1, kStripBytes / (cols * 3));
    const int strips = (target.rows + stripRows - 1) / stripRows;
    cv::parallel_for_(cv::Range(0, strips), [&](const cv::Range& range) {
        cv::Mat ycc;
        for (int strip = range.start; strip < range.end; ++strip) {
            const int first = strip * stripRows;
            cv::Mat rows = target.rowRange(first, std::min(target.rows, first + stripRows));
            cv::cvtColor(rows, ycc, cv::COLOR_BGR2YCrCb);
            for (int y = 0; y < ycc.rows; ++y) {
                const std::uint8_t* level = allLevels + static_cast<std::size_t>(first + y) * cols;
                uchar* p = ycc.ptr<uchar>(y);
                for (int x = 0; x < cols; ++x, p += 3) {
                    p[0] = luma[level[x] * 256u + p[0]];
                    p[1] = chroma[p[1]];
                    p[2] = chroma[p[2]];
                }
            }
            cv::cvtColor(ycc, rows, cv::COLOR_YCrCb2BGR);
        }
    });
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
