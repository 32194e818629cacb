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
    // (v − 128) / 2 truncated toward zero: the halved chroma's offset from 128.
    const int crOffset = (cr - 128) / 2;
    const int cbOffset = (cb - 128) / 2;
    p[0] = static_cast<uchar>(ycrcb::Blue(curved, cbOffset));
    p[1] = static_cast<uchar>(ycrcb::Green(curved, crOffset, cbOffset));
    p[2] = static_cast<uchar>(ycrcb::Red(curved, crOffset));
}

#if CV_SIMD128
// Four pixels' samples as 32-bit lanes, from lanes [4k, 4k + 4) of sixteen bytes.
inline void Widen(const cv::v_uint8x16& bytes, cv::v_int32x4 (&out)[4])
{
    cv::v_uint16x8 low, high;
    cv::v_expand(bytes, low, high);
    cv::v_uint32x4 a, b, c, d;
    cv::v_expand(low, a, b);
    cv::v_expand(high, c, d);
    out[0] = cv::v_reinterpret_as_s32(a);
    out[1] = cv::v_reinterpret_as_s32(b);
    out[2] = cv::v_reinterpret_as_s32(c);
    out[3] = cv::v_reinterpret_as_s32(d);
}

inline cv::v_uint8x16 Narrow(const cv::v_int32x4 (&in)[4])
{
    return cv::v_pack_u(cv::v_pack(in[0], in[1]), cv::v_pack(in[2], in[3]));
}

// (v − 128) / 2 truncated toward zero, for v in 0 … 255: negative offsets get one added before the
// arithmetic shift.
inline cv::v_int32x4 HalfOffset(const cv::v_int32x4& v)
{
    const cv::v_int32x4 offset = v - cv::v_setall_s32(128);
    return (offset - cv::v_shr<31>(offset)) >> 1;
}

// Sixteen pixels, the same arithmetic as GrainPixel in 32-bit lanes; the curve is looked up one
// sample at a time.
void GrainSixteen(uchar* p, const std::uint8_t* level, const std::uint8_t* luma)
{
    cv::v_uint8x16 b8, g8, r8;
    cv::v_load_deinterleave(p, b8, g8, r8);
    cv::v_int32x4 b[4], g[4], r[4], y[4], crOffset[4], cbOffset[4];
    Widen(b8, b);
    Widen(g8, g);
    Widen(r8, r);
    const cv::v_int32x4 half = cv::v_setall_s32(ycrcb::kHalf);
    const cv::v_int32x4 bias = cv::v_setall_s32(ycrcb::kChromaBias);
    const cv::v_int32x4 zero = cv::v_setzero_s32();
    const cv::v_int32x4 top = cv::v_setall_s32(255);
    for (int k = 0; k < 4; ++k) {
        y[k] = cv::v_shr<ycrcb::kShift>(b[k] * cv::v_setall_s32(ycrcb::kBlueToY)
            + g[k] * cv::v_setall_s32(ycrcb::kGreenToY) + r[k] * cv::v_setall_s32(ycrcb::kRedToY) + half);
        const cv::v_int32x4 cr = cv::v_min(cv::v_max(
            cv::v_shr<ycrcb::kShift>((r[k] - y[k]) * cv::v_setall_s32(ycrcb::kRedDiffToCr) + bias), zero), top);
        const cv::v_int32x4 cb = cv::v_min(cv::v_max(
            cv::v_shr<ycrcb::kShift>((b[k] - y[k]) * cv::v_setall_s32(ycrcb::kBlueDiffToCb) + bias), zero), top);
        crOffset[k] = HalfOffset(cr);
        cbOffset[k] = HalfOffset(cb);
    }
    alignas(16) std::uint8_t lumaBytes[16];
    cv::v_store_aligned(lumaBytes, Narrow(y));
    for (int i = 0; i < 16; ++i)
        lumaBytes[i] = luma[level[i] * 256u + lumaBytes[i]];
    cv::v_int32x4 curved[4];
    Widen(cv::v_load_aligned(lumaBytes), curved);
    for (int k = 0; k < 4; ++k) {
        b[k] = curved[k] + cv::v_shr<ycrcb::kShift>(cbOffset[k] * cv::v_setall_s32(ycrcb::kCbToBlue) + half);
        g[k] = curved[k]
            + cv::v_shr<ycrcb::kShift>(cbOffset[k] * cv::v_setall_s32(ycrcb::kCbToGreen)
                + crOffset[k] * cv::v_setall_s32(ycrcb::kCrToGreen) + half);
        r[k] = curved[k] + cv::v_shr<ycrcb::kShift>(crOffset[k] * cv::v_setall_s32(ycrcb::kCrToRed) + half);
    }
    cv::v_store_interleave(p, Narrow(b), Narrow(g), Narrow(r));
}
#endif

void GrainRow(uchar* p, const std::uint8_t* level, int cols, const std::uint8_t* luma)
{
    int x = 0;
#if CV_SIMD128
    for (; x + 16 <= cols; x += 16)
        GrainSixteen(p + 3 * x, level + x, luma);
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
