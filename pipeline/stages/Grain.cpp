#include "pipeline/stages/EffectStyles.h"
#include "pipeline/stages/StripCount.h"
#include "pipeline/stages/YCrCbExact.h"

#include <opencv2/core.hpp>
#include <opencv2/core/hal/intrin.hpp>

#include <algorithm>
#include <array>
#include <vector>

namespace {

constexpr unsigned kGrainLevels = 21;

struct GrainTables {
    std::array<std::uint8_t, kGrainLevels * 256> luma {};
    GrainTables()
    {
        for (int r = 0; r < static_cast<int>(kGrainLevels); ++r)
            for (int y = 0; y < 256; ++y)
                luma[r * 256 + y] = GrainLuma(r, y);
    }
};

const GrainTables& Tables()
{
    static const GrainTables tables;
    return tables;
}

// One pixel: to YCrCb, the luma curve of its level, chroma halved toward 128, and back.
inline void GrainPixel(uchar* p, std::uint8_t level, const std::uint8_t* luma)
{
    const int y = ycrcb::Luma(p[0], p[1], p[2]);
    const int cr = ycrcb::Cr(p[2], y);
    const int cb = ycrcb::Cb(p[0], y);
    const int curved = luma[level * 256u + y];
    const int crOffset = GrainChroma(cr) - 128;
    const int cbOffset = GrainChroma(cb) - 128;
    p[0] = static_cast<uchar>(ycrcb::Blue(curved, cbOffset));
    p[1] = static_cast<uchar>(ycrcb::Green(curved, crOffset, cbOffset));
    p[2] = static_cast<uchar>(ycrcb::Red(curved, crOffset));
}

#if CV_SIMD128
// Eight pixels in 16-bit lanes; each product sum is one multiply-add of lane pairs into 32 bits
// (pmaddwd and its kind on every platform), the weights and the rounding half paired up so that
// every sum is exactly the fixed-point one.
struct Weights {
    cv::v_int16x8 blueGreenToY = Pair(ycrcb::kBlueToY, ycrcb::kGreenToY);
    cv::v_int16x8 redToY = Pair(ycrcb::kRedToY, ycrcb::kHalf);
    cv::v_int16x8 toCr = Pair(ycrcb::kRedDiffToCr, ycrcb::kHalf);
    cv::v_int16x8 toCb = Pair(ycrcb::kBlueDiffToCb, ycrcb::kHalf);
    cv::v_int16x8 toBlue = Pair(ycrcb::kCbToBlue, ycrcb::kHalf);
    cv::v_int16x8 toGreen = Pair(ycrcb::kCbToGreen, ycrcb::kCrToGreen);
    cv::v_int16x8 toRed = Pair(ycrcb::kCrToRed, ycrcb::kHalf);
    cv::v_int16x8 ones = cv::v_setall_s16(1);

    static cv::v_int16x8 Pair(int even, int odd)
    {
        const short e = static_cast<short>(even);
        const short o = static_cast<short>(odd);
        return cv::v_int16x8(e, o, e, o, e, o, e, o);
    }
};

// a·wa + b·wb (+ the pair's second weight where b is one) for eight lanes, shifted back.
inline cv::v_int16x8 MulAddShift(const cv::v_int16x8& a, const cv::v_int16x8& b, const cv::v_int16x8& weights,
    int extra = 0)
{
    cv::v_int16x8 low, high;
    cv::v_zip(a, b, low, high);
    const cv::v_int32x4 add = cv::v_setall_s32(extra);
    return cv::v_pack(cv::v_shr<ycrcb::kShift>(cv::v_dotprod(low, weights) + add),
        cv::v_shr<ycrcb::kShift>(cv::v_dotprod(high, weights) + add));
}

// The chroma's offset from 128 as stored (clamped to the byte), halved toward zero.
inline cv::v_int16x8 HalvedOffset(const cv::v_int16x8& q)
{
    const cv::v_int16x8 offset = cv::v_min(cv::v_max(q, cv::v_setall_s16(-128)), cv::v_setall_s16(127));
    return (offset - cv::v_shr<15>(offset)) >> 1;
}

// Eight pixels: luma into lumaOut (0 … 255), halved chroma offsets out.
inline void Forward(const Weights& w, const cv::v_int16x8& b, const cv::v_int16x8& g, const cv::v_int16x8& r,
    cv::v_int16x8& y, cv::v_int16x8& crOffset, cv::v_int16x8& cbOffset)
{
    cv::v_int16x8 bgLow, bgHigh, rLow, rHigh;
    cv::v_zip(b, g, bgLow, bgHigh);
    cv::v_zip(r, w.ones, rLow, rHigh);
    y = cv::v_pack(cv::v_shr<ycrcb::kShift>(cv::v_dotprod(bgLow, w.blueGreenToY) + cv::v_dotprod(rLow, w.redToY)),
        cv::v_shr<ycrcb::kShift>(cv::v_dotprod(bgHigh, w.blueGreenToY) + cv::v_dotprod(rHigh, w.redToY)));
    crOffset = HalvedOffset(MulAddShift(r - y, w.ones, w.toCr));
    cbOffset = HalvedOffset(MulAddShift(b - y, w.ones, w.toCb));
}

inline void Back(const Weights& w, const cv::v_int16x8& y, const cv::v_int16x8& crOffset,
    const cv::v_int16x8& cbOffset, cv::v_int16x8& b, cv::v_int16x8& g, cv::v_int16x8& r)
{
    b = y + MulAddShift(cbOffset, w.ones, w.toBlue);
    g = y + MulAddShift(cbOffset, crOffset, w.toGreen, ycrcb::kHalf);
    r = y + MulAddShift(crOffset, w.ones, w.toRed);
}

// Sixteen pixels, the same arithmetic as GrainPixel; the curve is looked up one sample at a time.
void GrainSixteen(const Weights& w, uchar* p, const std::uint8_t* level, const std::uint8_t* luma)
{
    cv::v_uint8x16 b8, g8, r8;
    cv::v_load_deinterleave(p, b8, g8, r8);
    cv::v_uint16x8 b16[2], g16[2], r16[2];
    cv::v_expand(b8, b16[0], b16[1]);
    cv::v_expand(g8, g16[0], g16[1]);
    cv::v_expand(r8, r16[0], r16[1]);
    cv::v_int16x8 y[2], crOffset[2], cbOffset[2];
    for (int h = 0; h < 2; ++h)
        Forward(w, cv::v_reinterpret_as_s16(b16[h]), cv::v_reinterpret_as_s16(g16[h]),
            cv::v_reinterpret_as_s16(r16[h]), y[h], crOffset[h], cbOffset[h]);
    alignas(16) std::uint8_t lumaBytes[16];
    cv::v_store_aligned(lumaBytes, cv::v_pack_u(y[0], y[1]));
    for (int i = 0; i < 16; ++i)
        lumaBytes[i] = luma[level[i] * 256u + lumaBytes[i]];
    cv::v_uint16x8 curved[2];
    cv::v_expand(cv::v_load_aligned(lumaBytes), curved[0], curved[1]);
    cv::v_int16x8 b[2], g[2], r[2];
    for (int h = 0; h < 2; ++h)
        Back(w, cv::v_reinterpret_as_s16(curved[h]), crOffset[h], cbOffset[h], b[h], g[h], r[h]);
    cv::v_store_interleave(p, cv::v_pack_u(b[0], b[1]), cv::v_pack_u(g[0], g[1]), cv::v_pack_u(r[0], r[1]));
}
#endif

void GrainRow(uchar* p, const std::uint8_t* level, int cols, const std::uint8_t* luma)
{
    int x = 0;
#if CV_SIMD128
    const Weights weights;
    for (; x + 16 <= cols; x += 16)
        GrainSixteen(weights, p + 3 * x, level + x, luma);
#endif
    for (; x < cols; ++x)
        GrainPixel(p + 3 * x, level[x], luma);
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
    thread_local std::vector<int> noise;
    levels.resize(static_cast<std::size_t>(cols) * target.rows);
    noise.resize(cols);
    for (int y = 0; y < target.rows; ++y) {
        random.Fill(noise.data(), cols);
        std::uint8_t* level = levels.data() + static_cast<std::size_t>(y) * cols;
        for (int x = 0; x < cols; ++x)
            level[x] = static_cast<std::uint8_t>(static_cast<unsigned>(noise[x]) % kGrainLevels);
    }

    const std::uint8_t* luma = Tables().luma.data();
    const std::uint8_t* allLevels = levels.data();
    ForEachStrip(target.rows, cols * 3, [&](int first, int end) {
        for (int y = first; y < end; ++y)
            GrainRow(target.ptr<uchar>(y), allLevels + static_cast<std::size_t>(y) * cols, cols, luma);
    });
}
