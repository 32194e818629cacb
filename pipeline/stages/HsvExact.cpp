#include "pipeline/stages/HsvExact.h"

#include <opencv2/core.hpp>
#include <opencv2/core/hal/intrin.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>
#include <vector>

// The float steps below must round exactly as written: this file is built without contraction
// of a multiply and an add into one fused step (CMakeLists.txt); the one fused step wanted is
// written out as std::fma.

namespace {

// The hue step of the back conversion, a float quotient as OpenCV keeps it.
constexpr float kHueScale = 6.0f / 180.0f;
constexpr float kByteScale = 1.0f / 255.0f;

// The forward hue for a spread d = max - min and the hue numerator n (-d … 5d) sits at
// 3d² - d + n.
constexpr int kHueEntries = 3 * 255 * 255 - 255 + 5 * 255 + 1;

inline int HueIndex(int diff, int numerator)
{
    return 3 * diff * diff - diff + numerator;
}

struct Tables {
    // Forward: OpenCV's 8-bit BGR2HSV divides through tables of 12-bit fixed-point reciprocals.
    int saturationDivisor[256]; // 255 / v
    int hueDivisor[256];        // 30 / (max - min)
    std::uint8_t hue[kHueEntries];
    // Back, for every hue byte (those past 179 wrap round): the sector of the hue circle and, for
    // each saturation byte, 1 - s * w, where w is the hue's fraction of its sector in odd sectors
    // and 1 - fraction in even ones, rounded once.
    std::uint8_t sector[256];
    float falling[256 * 256];
};

inline int ForwardHue(const Tables& t, int diff, int numerator)
{
    const int h = (numerator * t.hueDivisor[diff] + (1 << 11)) >> 12;
    return h < 0 ? h + 180 : h;
}

inline int ForwardSaturation(const Tables& t, int top, int diff)
{
    return (diff * t.saturationDivisor[top] + (1 << 11)) >> 12;
}

std::unique_ptr<const Tables> BuildTables()
{
    auto t = std::make_unique<Tables>();
    t->saturationDivisor[0] = 0;
    t->hueDivisor[0] = 0;
    for (int i = 1; i < 256; ++i) {
        t->saturationDivisor[i] = static_cast<int>(std::lround((255 << 12) / double(i)));
        t->hueDivisor[i] = static_cast<int>(std::lround((180 << 12) / (6.0 * i)));
    }
    for (int d = 0; d < 256; ++d)
        for (int n = -d; n <= 5 * d; ++n)
            t->hue[HueIndex(d, n)] = static_cast<std::uint8_t>(ForwardHue(*t, d, n));
    for (int h = 0; h < 256; ++h) {
        const float scaled = static_cast<float>(h) * kHueScale;
        const int whole = static_cast<int>(scaled);
        const float fraction = scaled - static_cast<float>(whole);
        const int sector = whole % 6;
        t->sector[h] = static_cast<std::uint8_t>(sector);
        const float w = (sector & 1) ? fraction : 1.0f - fraction;
        for (int s = 0; s < 256; ++s) {
            const float sf = static_cast<float>(s) * kByteScale;
            t->falling[h * 256 + s] = std::fma(-sf, w, 1.0f);
        }
    }
    return t;
}

const Tables& SharedTables()
{
    static const std::unique_ptr<const Tables> tables = BuildTables();
    return *tables;
}

} // namespace

// Saturation and value after their tables, for every max (high byte) and max - min (low byte):
// saturation in the low byte, value in the high one.
struct HsvSaturationValue {
    std::uint16_t entry[256 * 256];
};

namespace {

using SaturationValue = HsvSaturationValue;

void FillSaturationValue(const Tables& t, const std::uint8_t* saturation, const std::uint8_t* value,
    SaturationValue& out)
{
    for (int top = 0; top < 256; ++top)
        for (int d = 0; d <= top; ++d)
            out.entry[top * 256 + d] = static_cast<std::uint16_t>(
                saturation[ForwardSaturation(t, top, d)] | (value[top] << 8));
}

const SaturationValue& IdentitySaturationValue()
{
    static const std::unique_ptr<const SaturationValue> identity = [] {
        std::uint8_t same[256];
        for (int i = 0; i < 256; ++i)
            same[i] = static_cast<std::uint8_t>(i);
        auto sv = std::make_unique<SaturationValue>();
        FillSaturationValue(SharedTables(), same, same, *sv);
        return std::unique_ptr<const SaturationValue>(std::move(sv));
    }();
    return *identity;
}

inline int HueNumerator(int b, int g, int r, int top, int diff)
{
    return top == r ? g - b : top == g ? b - r + 2 * diff : r - g + 4 * diff;
}

inline void ForwardPixel(const Tables& t, const SaturationValue& sv, const std::uint8_t* p, int& h,
    int& s, int& v)
{
    const int b = p[0], g = p[1], r = p[2];
    const int top = std::max({ b, g, r });
    const int diff = top - std::min({ b, g, r });
    h = t.hue[HueIndex(diff, HueNumerator(b, g, r, top, diff))];
    const int entry = sv.entry[top * 256 + diff];
    s = entry & 255;
    v = entry >> 8;
}

// Which of value (0), the low level (1) and the moving level (2) goes to blue, green, red in
// each sector.
constexpr std::uint8_t kSectorLevels[6][3] = {
    { 1, 2, 0 }, { 1, 0, 2 }, { 2, 0, 1 }, { 0, 2, 1 }, { 0, 1, 2 }, { 2, 1, 0 },
};

inline void BackPixel(const Tables& t, int h, int s, int v, std::uint8_t* out)
{
    const float vf = static_cast<float>(v) * kByteScale;
    const float sf = static_cast<float>(s) * kByteScale;
    const float low = vf * (1.0f - sf);
    const float moving = vf * t.falling[h * 256 + s];
    const int levels[3] = { v, static_cast<int>(low * 255.0f), static_cast<int>(moving * 255.0f) };
    const std::uint8_t* pick = kSectorLevels[t.sector[h]];
    for (int c = 0; c < 3; ++c)
        out[c] = static_cast<std::uint8_t>(levels[pick[c]]);
}

#if CV_SIMD
using namespace cv;

constexpr int kLanes = v_uint8::nlanes;
constexpr int kHalf = kLanes / 2;
constexpr int kQuarter = kLanes / 4;

// A block of kLanes pixels: the two halves of an 8-bit vector as 16-bit lanes.
CV_ALWAYS_INLINE void Halves(const v_uint8& a, v_int16 out[2])
{
    v_uint16 lo, hi;
    v_expand(a, lo, hi);
    out[0] = v_reinterpret_as_s16(lo);
    out[1] = v_reinterpret_as_s16(hi);
}

// Hue, saturation and value (the latter two through their tables) of kLanes pixels. The divisions
// are table look-ups, done one pixel at a time from indices worked out a block at a time.
CV_ALWAYS_INLINE void ForwardBlock(const Tables& t, const SaturationValue& sv, const std::uint8_t* src,
    v_uint8& h, v_uint8& s, v_uint8& v)
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
    CV_DECL_ALIGNED(CV_SIMD_WIDTH) std::uint16_t svIndex[kLanes];
    CV_DECL_ALIGNED(CV_SIMD_WIDTH) int hueIndex[kLanes];
    for (int k = 0; k < 2; ++k) {
        v_store_aligned(svIndex + k * kHalf, v_reinterpret_as_u16((top[k] << 8) | diff[k]));
        const v_int16 numerator = v_select(top[k] == r[k], g[k] - b[k],
            v_select(top[k] == g[k], b[k] - r[k] + (diff[k] << 1), r[k] - g[k] + (diff[k] << 2)));
        v_int32 n[2], d[2], square[2];
        v_expand(numerator, n[0], n[1]);
        v_expand(diff[k], d[0], d[1]);
        v_mul_expand(diff[k], diff[k], square[0], square[1]);
        for (int j = 0; j < 2; ++j) {
            const v_int32 index = square[j] + square[j] + square[j] - d[j] + n[j];
            v_store_aligned(hueIndex + k * kHalf + j * kQuarter, index);
        }
    }
    CV_DECL_ALIGNED(CV_SIMD_WIDTH) std::uint8_t hh[kLanes], ss[kLanes], vv[kLanes];
    for (int j = 0; j < kLanes; ++j) {
        const int entry = sv.entry[svIndex[j]];
        ss[j] = static_cast<std::uint8_t>(entry);
        vv[j] = static_cast<std::uint8_t>(entry >> 8);
        hh[j] = t.hue[hueIndex[j]];
    }
    h = vx_load_aligned(hh);
    s = vx_load_aligned(ss);
    v = vx_load_aligned(vv);
}

CV_ALWAYS_INLINE void BackBlock(const Tables& t, const v_uint8& h8, const v_uint8& s8, const v_uint8& v8,
    std::uint8_t* dst)
{
    v_int16 h[2], s[2], v[2];
    Halves(h8, h);
    Halves(s8, s);
    Halves(v8, v);
    CV_DECL_ALIGNED(CV_SIMD_WIDTH) std::uint16_t fallingIndex[kLanes];
    v_store_aligned(fallingIndex, v_reinterpret_as_u16((h[0] << 8) | s[0]));
    v_store_aligned(fallingIndex + kHalf, v_reinterpret_as_u16((h[1] << 8) | s[1]));
    CV_DECL_ALIGNED(CV_SIMD_WIDTH) float falling[kLanes];
    for (int j = 0; j < kLanes; ++j)
        falling[j] = t.falling[fallingIndex[j]];

    const v_float32 byteScale = vx_setall_f32(kByteScale);
    const v_float32 full = vx_setall_f32(255.0f);
    const v_float32 one = vx_setall_f32(1.0f);
    v_int16 low[2], moving[2];
    for (int k = 0; k < 2; ++k) {
        v_int32 s32[2], v32[2], low32[2], moving32[2];
        v_expand(s[k], s32[0], s32[1]);
        v_expand(v[k], v32[0], v32[1]);
        for (int j = 0; j < 2; ++j) {
            const v_float32 vf = v_cvt_f32(v32[j]) * byteScale;
            const v_float32 sf = v_cvt_f32(s32[j]) * byteScale;
            low32[j] = v_trunc((vf * (one - sf)) * full);
            moving32[j] = v_trunc((vf * vx_load_aligned(falling + k * kHalf + j * kQuarter)) * full);
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
    // Sectors 0 … 5 as in kSectorLevels.
    const v_uint8 s0 = ~ge30, s1 = ge30 & ~ge60, s2 = ge60 & ~ge90, s3 = ge90 & ~ge120;
    const v_uint8 s4 = ge120 & ~ge150, s5 = ge150;
    const v_uint8 blue = v_select(~ge60, P, v_select(s2 | s5, X, V));
    const v_uint8 green = v_select(ge120, P, v_select(s0 | s3, X, V));
    const v_uint8 red = v_select(s0 | s5, V, v_select(s1 | s4, X, P));
    v_store_interleave(dst, blue, green, red);
}
#endif

void Forward(const SaturationValue& sv, const std::uint8_t* bgr, std::uint8_t* hsv, int n)
{
    const Tables& t = SharedTables();
    int i = 0;
#if CV_SIMD
    for (; i + kLanes <= n; i += kLanes) {
        v_uint8 h, s, v;
        ForwardBlock(t, sv, bgr + 3 * i, h, s, v);
        v_store_interleave(hsv + 3 * i, h, s, v);
    }
#endif
    for (; i < n; ++i) {
        int h = 0, s = 0, v = 0;
        ForwardPixel(t, sv, bgr + 3 * i, h, s, v);
        std::uint8_t* o = hsv + 3 * i;
        o[0] = static_cast<std::uint8_t>(h);
        o[1] = static_cast<std::uint8_t>(s);
        o[2] = static_cast<std::uint8_t>(v);
    }
}

} // namespace

void BgrToHsvRow(const std::uint8_t* bgr, std::uint8_t* hsv, int n)
{
    Forward(IdentitySaturationValue(), bgr, hsv, n);
}

void HsvToBgrRow(const std::uint8_t* hsv, std::uint8_t* bgr, int n)
{
    const Tables& t = SharedTables();
    int i = 0;
#if CV_SIMD
    for (; i + kLanes <= n; i += kLanes) {
        v_uint8 h, s, v;
        v_load_deinterleave(hsv + 3 * i, h, s, v);
        BackBlock(t, h, s, v, bgr + 3 * i);
    }
#endif
    for (; i < n; ++i) {
        const std::uint8_t* p = hsv + 3 * i;
        BackPixel(t, p[0], p[1], p[2], bgr + 3 * i);
    }
}

HsvAdjust::HsvAdjust(const std::array<std::uint8_t, 256>& saturation,
    const std::array<std::uint8_t, 256>& value)
    : table_(std::make_unique<HsvSaturationValue>())
{
    FillSaturationValue(SharedTables(), saturation.data(), value.data(), *table_);
}

HsvAdjust::~HsvAdjust() = default;

void HsvAdjust::Row(const std::uint8_t* bgr, std::uint8_t* out, int n) const
{
    const Tables& t = SharedTables();
    int i = 0;
#if CV_SIMD
    for (; i + kLanes <= n; i += kLanes) {
        v_uint8 h, s, v;
        ForwardBlock(t, *table_, bgr + 3 * i, h, s, v);
        BackBlock(t, h, s, v, out + 3 * i);
    }
#endif
    for (; i < n; ++i) {
        int h = 0, s = 0, v = 0;
        ForwardPixel(t, *table_, bgr + 3 * i, h, s, v);
        BackPixel(t, h, s, v, out + 3 * i);
    }
}

namespace {

using Triple = cv::Vec3b;

// The greatest common divisor of m and 7650 = 2 · 3² · 5² · 17, by its prime powers.
int DivisorOf7650(int m)
{
    return (m % 2 == 0 ? 2 : 1) * (m % 9 == 0 ? 9 : m % 3 == 0 ? 3 : 1) * (m % 25 == 0 ? 25 : m % 5 == 0 ? 5 : 1)
        * (m % 17 == 0 ? 17 : 1);
}

// Hue, saturation and value triples on which two ways of rounding the back conversion are likely
// to part: those whose moving level v (1 - s k / 7650) or low level v (1 - s / 255) (k the hue's
// thirtieths into its sector, or 30 - k) is a whole number in exact arithmetic, so that the float
// result sits on a truncation boundary (every other one, in a sector that moves along); and every
// hue at a few saturations and values.
std::vector<Triple> BackProbe()
{
    std::vector<Triple> probe;
    probe.reserve(16 * 1024);
    const auto add = [&](int h, int s, int v) {
        probe.emplace_back(static_cast<std::uint8_t>(h), static_cast<std::uint8_t>(s), static_cast<std::uint8_t>(v));
    };
    int count = 0;
    for (int k = 1; k < 30; ++k)
        for (int s = 1; s < 256; ++s)
            for (int part : { k, 30 - k }) {
                const int step = 7650 / DivisorOf7650(7650 - s * part);
                for (int v = step; v < 256; v += step)
                    if (++count % 2 == 0)
                        add(k + 30 * ((s + v) % 6), s, v);
            }
    for (int s = 1; s < 255; ++s) {
        const int step = 255 / std::gcd(255 - s, 255);
        for (int v = step; v < 256; v += step)
            add(15 + 30 * ((s + v) % 6), s, v);
    }
    for (int h = 0; h < 256; ++h)
        for (int s : { 0, 1, 128, 255 })
            for (int v : { 1, 128, 254, 255 })
                add(h, s, v);
    return probe;
}

// Blue, green and red triples for a spread of maxima and spreads, with the middle level and the
// channels' order moving along, so that saturation and hue divisions of every size are met.
std::vector<Triple> ForwardProbe()
{
    static constexpr int kOrders[6][3] = { { 0, 1, 2 }, { 0, 2, 1 }, { 1, 0, 2 }, { 1, 2, 0 }, { 2, 0, 1 }, { 2, 1, 0 } };
    std::vector<Triple> probe;
    probe.reserve(8 * 1024);
    for (int top = 0; top < 256; ++top)
        for (int diff = top % 8; diff <= top; diff += 8) {
            const int middle = top - diff + diff * ((7 * top + diff) % 8) / 7;
            const int levels[3] = { top, top - diff, middle };
            const int* order = kOrders[(top + diff) % 6];
            Triple t;
            for (int c = 0; c < 3; ++c)
                t[order[c]] = static_cast<std::uint8_t>(levels[c]);
            probe.push_back(t);
        }
    return probe;
}

// The triples laid out in rows of the given width, the last row padded with the first triples.
cv::Mat LaidOut(const std::vector<Triple>& triples, int width)
{
    const int rows = static_cast<int>((triples.size() + width - 1) / width);
    cv::Mat m(rows, width, CV_8UC3);
    auto* p = m.ptr<Triple>();
    for (std::size_t i = 0; i < m.total(); ++i)
        p[i] = triples[i % triples.size()];
    return m;
}

using RowFunction = void (*)(const std::uint8_t*, std::uint8_t*, int);

// Whether the row function on the first fastColumns pixels of each row and cvtColor on the rest
// (a narrow view, converted row by row with the row-end rule) give cvtColor's bytes.
bool SameAsCvtColor(const cv::Mat& source, int code, RowFunction row, int fastColumns)
{
    cv::Mat expected;
    cv::cvtColor(source, expected, code);
    cv::Mat got(source.size(), CV_8UC3);
    for (int y = 0; y < source.rows; ++y)
        row(source.ptr(y), got.ptr(y), fastColumns);
    if (fastColumns < source.cols) {
        cv::Mat ends = got.colRange(fastColumns, source.cols);
        cv::cvtColor(source.colRange(fastColumns, source.cols), ends, code);
    }
    return cv::norm(expected, got, cv::NORM_INF) == 0;
}

// The smallest row width at which cvtColor converts a row's first pixel back by its block rule:
// below it the whole row takes the row-end rule. 1 when no probed triple shows two rules.
int ProbeBlockWidth()
{
    constexpr int kWidest = 256;
    const Triple candidates[] = { { 0, 1, 1 }, { 5, 204, 15 }, { 100, 102, 15 }, { 37, 200, 201 } };
    for (const Triple& t : candidates) {
        const cv::Scalar colour(t[0], t[1], t[2]);
        cv::Mat alone;
        cv::cvtColor(cv::Mat(1, 1, CV_8UC3, colour), alone, cv::COLOR_HSV2BGR);
        const auto firstDiffers = [&](int width) {
            cv::Mat back;
            cv::cvtColor(cv::Mat(1, width, CV_8UC3, colour), back, cv::COLOR_HSV2BGR);
            return back.at<Triple>(0, 0) != alone.at<Triple>(0, 0);
        };
        if (!firstDiffers(kWidest))
            continue;
        for (int width = 2; width < kWidest; ++width)
            if (firstDiffers(width))
                return width;
        return kWidest;
    }
    return 1;
}

HsvRule ProbeRule()
{
    HsvRule rule;
    rule.block = ProbeBlockWidth();
    const int block = rule.block;
    // Block positions: rows of whole blocks, about 512 pixels. Row ends: whole blocks and then
    // block - 1 pixels (the most the row-end rule takes), over a part of the triples.
    const int whole = block * std::max(1, 512 / block);
    const int ragged = whole + block - 1;
    const std::vector<Triple> forward = ForwardProbe();
    const std::vector<Triple> back = BackProbe();
    const auto part = [&](const std::vector<Triple>& triples) {
        return std::vector<Triple>(triples.begin(), triples.begin() + std::min<std::size_t>(triples.size(), 2 * ragged));
    };
    rule.fastFormAgrees = SameAsCvtColor(LaidOut(forward, whole), cv::COLOR_BGR2HSV, BgrToHsvRow, whole)
        && SameAsCvtColor(LaidOut(back, whole), cv::COLOR_HSV2BGR, HsvToBgrRow, whole)
        && SameAsCvtColor(LaidOut(part(forward), ragged), cv::COLOR_BGR2HSV, BgrToHsvRow, whole)
        && SameAsCvtColor(LaidOut(part(back), ragged), cv::COLOR_HSV2BGR, HsvToBgrRow, whole);
    return rule;
}

} // namespace

const HsvRule& OpenCvHsvRule()
{
    static const HsvRule rule = ProbeRule();
    return rule;
}

int HsvFastColumns(int width)
{
    const HsvRule& rule = OpenCvHsvRule();
    return rule.fastFormAgrees ? width - width % rule.block : 0;
}
