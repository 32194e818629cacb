#include "pipeline/stages/GrainKernel.h"

#include "pipeline/stages/YCrCbExact.h"

#include <opencv2/core/hal/intrin.hpp>

namespace PARVEL_KERNEL_NAMESPACE {

#if CV_SIMD
namespace {

using namespace cv;

// Half a vector of pixels in 16-bit lanes; each product sum is one multiply-add of lane pairs into
// 32 bits (pmaddwd and its kind on every platform), the weights and the rounding half paired up so
// that every sum is exactly the fixed-point one.
struct Weights {
    v_int16 blueGreenToY = Pair(ycrcb::kBlueToY, ycrcb::kGreenToY);
    v_int16 redToY = Pair(ycrcb::kRedToY, ycrcb::kHalf);
    v_int16 toCr = Pair(ycrcb::kRedDiffToCr, ycrcb::kHalf);
    v_int16 toCb = Pair(ycrcb::kBlueDiffToCb, ycrcb::kHalf);
    v_int16 toBlue = Pair(ycrcb::kCbToBlue, ycrcb::kHalf);
    v_int16 toGreen = Pair(ycrcb::kCbToGreen, ycrcb::kCrToGreen);
    v_int16 toRed = Pair(ycrcb::kCrToRed, ycrcb::kHalf);
    v_int16 ones = vx_setall_s16(1);

    // Lanes even, odd, even, odd, …
    static v_int16 Pair(int even, int odd)
    {
        const unsigned both = (static_cast<unsigned>(odd) << 16) | (static_cast<unsigned>(even) & 0xFFFFu);
        return v_reinterpret_as_s16(vx_setall_u32(both));
    }
};

// a·wa + b·wb (+ the pair's second weight where b is one) for each lane, shifted back.
CV_ALWAYS_INLINE v_int16 MulAddShift(const v_int16& a, const v_int16& b, const v_int16& weights, int extra = 0)
{
    v_int16 low, high;
    v_zip(a, b, low, high);
    const v_int32 add = vx_setall_s32(extra);
    return v_pack(v_shr<ycrcb::kShift>(v_dotprod(low, weights) + add),
        v_shr<ycrcb::kShift>(v_dotprod(high, weights) + add));
}

// The chroma's offset from 128 as stored (clamped to the byte), halved toward zero.
CV_ALWAYS_INLINE v_int16 HalvedOffset(const v_int16& q)
{
    const v_int16 offset = v_min(v_max(q, vx_setall_s16(-128)), vx_setall_s16(127));
    return (offset - v_shr<15>(offset)) >> 1;
}

// Luma (0 … 255) and halved chroma offsets.
CV_ALWAYS_INLINE void Forward(const Weights& w, const v_int16& b, const v_int16& g, const v_int16& r, v_int16& y,
    v_int16& crOffset, v_int16& cbOffset)
{
    v_int16 bgLow, bgHigh, rLow, rHigh;
    v_zip(b, g, bgLow, bgHigh);
    v_zip(r, w.ones, rLow, rHigh);
    y = v_pack(v_shr<ycrcb::kShift>(v_dotprod(bgLow, w.blueGreenToY) + v_dotprod(rLow, w.redToY)),
        v_shr<ycrcb::kShift>(v_dotprod(bgHigh, w.blueGreenToY) + v_dotprod(rHigh, w.redToY)));
    crOffset = HalvedOffset(MulAddShift(r - y, w.ones, w.toCr));
    cbOffset = HalvedOffset(MulAddShift(b - y, w.ones, w.toCb));
}

CV_ALWAYS_INLINE void Back(const Weights& w, const v_int16& y, const v_int16& crOffset, const v_int16& cbOffset,
    v_int16& b, v_int16& g, v_int16& r)
{
    b = y + MulAddShift(cbOffset, w.ones, w.toBlue);
    g = y + MulAddShift(cbOffset, crOffset, w.toGreen, ycrcb::kHalf);
    r = y + MulAddShift(crOffset, w.ones, w.toRed);
}

// The luma curve (GrainLuma) worked out rather than looked up, since a look-up goes one sample at
// a time. With n = 10·level + 17·luma − 100 the curve is n² / 25500 rounded, which never falls on
// a half, so it is ⌊(n² + 12750) / 25500⌋; from n = 2555 on it is past 255. The float product
// gives that floor for every level and luma (a test checks them all): n² + 12750 is exact in a
// float, and no quotient comes closer to a whole number than the product's rounding.
CV_ALWAYS_INLINE v_int16 Curve(const v_int16& level, const v_int16& luma)
{
    const v_int16 n = v_min(level * vx_setall_s16(10) + luma * vx_setall_s16(17) - vx_setall_s16(100),
        vx_setall_s16(2555));
    v_int32 square[2];
    v_mul_expand(n, n, square[0], square[1]);
    const v_float32 reciprocal = vx_setall_f32(1.0f / 25500.0f);
    const v_int32 half = vx_setall_s32(12750);
    const v_int16 curve = v_pack(v_trunc(v_cvt_f32(square[0] + half) * reciprocal),
        v_trunc(v_cvt_f32(square[1] + half) * reciprocal));
    return v_min(curve, vx_setall_s16(255));
}

CV_ALWAYS_INLINE void Halves(const v_uint8& a, v_int16 out[2])
{
    v_uint16 low, high;
    v_expand(a, low, high);
    out[0] = v_reinterpret_as_s16(low);
    out[1] = v_reinterpret_as_s16(high);
}

} // namespace

int GrainRowVectors(std::uint8_t* p, const std::uint8_t* level, int cols)
{
    constexpr int kLanes = v_uint8::nlanes;
    const Weights w;
    int x = 0;
    for (; x + kLanes <= cols; x += kLanes) {
        uchar* at = p + 3 * x;
        v_uint8 b8, g8, r8;
        v_load_deinterleave(at, b8, g8, r8);
        v_int16 blue[2], green[2], red[2], levels[2];
        Halves(b8, blue);
        Halves(g8, green);
        Halves(r8, red);
        Halves(vx_load(level + x), levels);
        for (int h = 0; h < 2; ++h) {
            v_int16 y, crOffset, cbOffset;
            Forward(w, blue[h], green[h], red[h], y, crOffset, cbOffset);
            Back(w, Curve(levels[h], y), crOffset, cbOffset, blue[h], green[h], red[h]);
        }
        v_store_interleave(at, v_pack_u(blue[0], blue[1]), v_pack_u(green[0], green[1]), v_pack_u(red[0], red[1]));
    }
    vx_cleanup();
    return x;
}
#else
int GrainRowVectors(std::uint8_t*, const std::uint8_t*, int)
{
    return 0;
}
#endif

} // namespace PARVEL_KERNEL_NAMESPACE
