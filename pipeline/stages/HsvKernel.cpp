#include "pipeline/stages/HsvKernel.h"

#include <opencv2/core/hal/intrin.hpp>

// Every float step rounds as written: this file is built without contraction of a multiply and an
// add (CMakeLists.txt); the one fused step wanted is v_fma, in builds that have it.

namespace PARVEL_KERNEL_NAMESPACE {

#if CV_SIMD
namespace {

using namespace cv;

constexpr int kLanes = v_uint8::nlanes;
constexpr int kHalf = kLanes / 2;
constexpr int kQuarter = kLanes / 4;

// The hue step of the back conversion and the byte scale, as the tables are built with them.
constexpr float kHueScale = 6.0f / 180.0f;
constexpr float kByteScale = 1.0f / 255.0f;

CV_ALWAYS_INLINE void Halves(const v_uint8& a, v_int16 out[2])
{
    v_uint16 lo, hi;
    v_expand(a, lo, hi);
    out[0] = v_reinterpret_as_s16(lo);
    out[1] = v_reinterpret_as_s16(hi);
}

CV_ALWAYS_INLINE void Quarters(const v_int16& a, v_int32 out[2])
{
    v_expand(a, out[0], out[1]);
}

// OpenCV divides through 12-bit fixed-point reciprocals, round(numerator / d) for d = 1 … 255. No
// quotient is a whole number and a half, and none comes nearer to one than a float's rounding, so
// the float quotient rounded gives every entry. d = 0 takes 1: its products are zero anyway.
CV_ALWAYS_INLINE v_int32 Reciprocal(float numerator, const v_int32& d)
{
    return v_round(vx_setall_f32(numerator) / v_cvt_f32(v_max(d, vx_setall_s32(1))));
}

// Hue, saturation and value of a vector of pixels, saturation and value through their tables.
CV_ALWAYS_INLINE void ForwardBlock(const HsvKernelTables& t, const std::uint8_t* src, v_uint8& h, v_uint8& s, v_uint8& v)
{
    v_uint8 b8, g8, r8;
    v_load_deinterleave(src, b8, g8, r8);
    const v_uint8 top8 = v_max(v_max(b8, g8), r8);
    const v_uint8 diff8 = top8 - v_min(v_min(b8, g8), r8);
    v_int16 b[2], g[2], r[2], top[2], diff[2];
    Halves(b8, b);
    Halves(g8, g);
    Halves(r8, r);
    Halves(top8, top);
    Halves(diff8, diff);
#if CV_SIMD256
    // Wide vectors multiply 32-bit lanes natively: the divisions are worked out.
    v_int16 hue[2], saturation[2];
    for (int k = 0; k < 2; ++k) {
        const v_int16 numerator = v_select(top[k] == r[k], g[k] - b[k],
            v_select(top[k] == g[k], b[k] - r[k] + (diff[k] << 1), r[k] - g[k] + (diff[k] << 2)));
        v_int32 n[2], d[2], m[2], h32[2], s32[2];
        Quarters(numerator, n);
        Quarters(diff[k], d);
        Quarters(top[k], m);
        for (int j = 0; j < 2; ++j) {
            s32[j] = (d[j] * Reciprocal(255 << 12, m[j]) + vx_setall_s32(1 << 11)) >> 12;
            const v_int32 turned = (n[j] * Reciprocal((180 << 12) / 6, d[j]) + vx_setall_s32(1 << 11)) >> 12;
            h32[j] = turned + (vx_setall_s32(180) & (turned < vx_setall_s32(0)));
        }
        hue[k] = v_pack(h32[0], h32[1]);
        saturation[k] = v_pack(s32[0], s32[1]);
    }
    h = v_pack_u(hue[0], hue[1]);
    s = v_pack_u(saturation[0], saturation[1]);
    CV_DECL_ALIGNED(CV_SIMD_WIDTH) std::uint8_t ss[kLanes], vv[kLanes];
    v_store_aligned(ss, s);
    v_store_aligned(vv, top8);
    for (int j = 0; j < kLanes; ++j) {
        ss[j] = t.saturation[ss[j]];
        vv[j] = t.value[vv[j]];
    }
    s = vx_load_aligned(ss);
    v = vx_load_aligned(vv);
#else
    // Narrow vectors would emulate 32-bit multiplies: the divisions are looked up, a pixel at a
    // time, from indices worked out a vector at a time. The hue of spread d and numerator n sits
    // at 3d² - d + n.
    CV_DECL_ALIGNED(CV_SIMD_WIDTH) std::uint16_t svIndex[kLanes];
    CV_DECL_ALIGNED(CV_SIMD_WIDTH) int hueIndex[kLanes];
    for (int k = 0; k < 2; ++k) {
        v_store_aligned(svIndex + k * kHalf, v_reinterpret_as_u16((top[k] << 8) | diff[k]));
        const v_int16 numerator = v_select(top[k] == r[k], g[k] - b[k],
            v_select(top[k] == g[k], b[k] - r[k] + (diff[k] << 1), r[k] - g[k] + (diff[k] << 2)));
        v_int32 n[2], d[2], square[2];
        Quarters(numerator, n);
        Quarters(diff[k], d);
        v_mul_expand(diff[k], diff[k], square[0], square[1]);
        for (int j = 0; j < 2; ++j)
            v_store_aligned(hueIndex + k * kHalf + j * kQuarter, square[j] + square[j] + square[j] - d[j] + n[j]);
    }
    CV_DECL_ALIGNED(CV_SIMD_WIDTH) std::uint8_t hh[kLanes], ss[kLanes], vv[kLanes];
    for (int j = 0; j < kLanes; ++j) {
        const int entry = t.saturationValue[svIndex[j]];
        ss[j] = static_cast<std::uint8_t>(entry);
        vv[j] = static_cast<std::uint8_t>(entry >> 8);
        hh[j] = t.hue[hueIndex[j]];
    }
    h = vx_load_aligned(hh);
    s = vx_load_aligned(ss);
    v = vx_load_aligned(vv);
#endif
}

// 1 - s·w rounded once, w the hue's fraction of its sector in odd sectors and 1 - fraction in even
// ones: worked out with a fused multiply-add where the build has one, else looked up.
CV_ALWAYS_INLINE v_float32 Falling(const HsvKernelTables& t, const v_int32& h, const v_int32& s)
{
#if CV_FMA3
    (void)t;
    const v_float32 scaled = v_cvt_f32(h) * vx_setall_f32(kHueScale);
    const v_int32 whole = v_trunc(scaled);
    const v_float32 fraction = scaled - v_cvt_f32(whole);
    const v_float32 one = vx_setall_f32(1.0f);
    const v_float32 w = v_select(v_reinterpret_as_f32((whole & vx_setall_s32(1)) == vx_setall_s32(1)), fraction,
        one - fraction);
    const v_float32 sf = v_cvt_f32(s) * vx_setall_f32(kByteScale);
    return v_fma(vx_setzero_f32() - sf, w, one);
#else
    CV_DECL_ALIGNED(CV_SIMD_WIDTH) int index[kQuarter];
    v_store_aligned(index, (h << 8) | s);
    CV_DECL_ALIGNED(CV_SIMD_WIDTH) float falling[kQuarter];
    for (int j = 0; j < kQuarter; ++j)
        falling[j] = t.falling[index[j]];
    return vx_load_aligned(falling);
#endif
}

CV_ALWAYS_INLINE void BackBlock(const HsvKernelTables& t, const v_uint8& h8, const v_uint8& s8, const v_uint8& v8,
    std::uint8_t* dst)
{
    v_int16 h[2], s[2], v[2];
    Halves(h8, h);
    Halves(s8, s);
    Halves(v8, v);
    const v_float32 byteScale = vx_setall_f32(kByteScale);
    const v_float32 full = vx_setall_f32(255.0f);
    const v_float32 one = vx_setall_f32(1.0f);
    v_int16 low[2], moving[2];
    for (int k = 0; k < 2; ++k) {
        v_int32 h32[2], s32[2], v32[2], low32[2], moving32[2];
        Quarters(h[k], h32);
        Quarters(s[k], s32);
        Quarters(v[k], v32);
        for (int j = 0; j < 2; ++j) {
            const v_float32 vf = v_cvt_f32(v32[j]) * byteScale;
            const v_float32 sf = v_cvt_f32(s32[j]) * byteScale;
            low32[j] = v_trunc((vf * (one - sf)) * full);
            moving32[j] = v_trunc((vf * Falling(t, h32[j], s32[j])) * full);
        }
        low[k] = v_pack(low32[0], low32[1]);
        moving[k] = v_pack(moving32[0], moving32[1]);
    }
    const v_uint8 P = v_pack_u(low[0], low[1]);
    const v_uint8 X = v_pack_u(moving[0], moving[1]);
    const v_uint8 V = v8;
    const v_uint8 turn = vx_setall_u8(180);
    const v_uint8 hue = v_select(h8 >= turn, h8 - turn, h8);
    const v_uint8 ge30 = hue >= vx_setall_u8(30);
    const v_uint8 ge60 = hue >= vx_setall_u8(60);
    const v_uint8 ge90 = hue >= vx_setall_u8(90);
    const v_uint8 ge120 = hue >= vx_setall_u8(120);
    const v_uint8 ge150 = hue >= vx_setall_u8(150);
    // Sectors 0 … 5: which of the value, the low level and the moving level goes to each channel.
    const v_uint8 s0 = ~ge30, s1 = ge30 & ~ge60, s2 = ge60 & ~ge90, s3 = ge90 & ~ge120;
    const v_uint8 s4 = ge120 & ~ge150, s5 = ge150;
    const v_uint8 blue = v_select(~ge60, P, v_select(s2 | s5, X, V));
    const v_uint8 green = v_select(ge120, P, v_select(s0 | s3, X, V));
    const v_uint8 red = v_select(s0 | s5, V, v_select(s1 | s4, X, P));
    v_store_interleave(dst, blue, green, red);
}

} // namespace

int HsvForwardVectors(const std::uint8_t* bgr, std::uint8_t* hsv, int n, const HsvKernelTables& t)
{
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
        v_uint8 h, s, v;
        ForwardBlock(t, bgr + 3 * i, h, s, v);
        v_store_interleave(hsv + 3 * i, h, s, v);
    }
    vx_cleanup();
    return i;
}

int HsvBackVectors(const std::uint8_t* hsv, std::uint8_t* bgr, int n, const HsvKernelTables& t)
{
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
        v_uint8 h, s, v;
        v_load_deinterleave(hsv + 3 * i, h, s, v);
        BackBlock(t, h, s, v, bgr + 3 * i);
    }
    vx_cleanup();
    return i;
}

int HsvAdjustVectors(const std::uint8_t* bgr, std::uint8_t* out, int n, const HsvKernelTables& t)
{
    int i = 0;
    for (; i + kLanes <= n; i += kLanes) {
        v_uint8 h, s, v;
        ForwardBlock(t, bgr + 3 * i, h, s, v);
        BackBlock(t, h, s, v, out + 3 * i);
    }
    vx_cleanup();
    return i;
}
#else
int HsvForwardVectors(const std::uint8_t*, std::uint8_t*, int, const HsvKernelTables&)
{
    return 0;
}

int HsvBackVectors(const std::uint8_t*, std::uint8_t*, int, const HsvKernelTables&)
{
    return 0;
}

int HsvAdjustVectors(const std::uint8_t*, std::uint8_t*, int, const HsvKernelTables&)
{
    return 0;
}
#endif

} // namespace PARVEL_KERNEL_NAMESPACE
