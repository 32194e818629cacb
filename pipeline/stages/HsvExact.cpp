#include "pipeline/stages/HsvExact.h"

#include "pipeline/stages/HsvKernel.h"

#include <opencv2/core.hpp>
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
    // The tables themselves, for the vector blocks, which work out the saturation before them.
    std::uint8_t saturation[256];
    std::uint8_t value[256];
};

namespace {

using SaturationValue = HsvSaturationValue;

void FillSaturationValue(const Tables& t, const std::uint8_t* saturation, const std::uint8_t* value,
    SaturationValue& out)
{
    std::copy(saturation, saturation + 256, out.saturation);
    std::copy(value, value + 256, out.value);
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

// The tables for the vector blocks.
HsvKernelTables KernelTables(const SaturationValue& sv)
{
    const Tables& t = SharedTables();
    HsvKernelTables tables;
    tables.falling = t.falling;
    tables.hue = t.hue;
    tables.saturationValue = sv.entry;
    tables.saturation = sv.saturation;
    tables.value = sv.value;
    return tables;
}

void Forward(const SaturationValue& sv, const std::uint8_t* bgr, std::uint8_t* hsv, int n)
{
    const Tables& t = SharedTables();
    for (int i = PARVEL_KERNEL(HsvForwardVectors)(bgr, hsv, n, KernelTables(sv)); i < n; ++i) {
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
    for (int i = PARVEL_KERNEL(HsvBackVectors)(hsv, bgr, n, KernelTables(IdentitySaturationValue())); i < n; ++i) {
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
    for (int i = PARVEL_KERNEL(HsvAdjustVectors)(bgr, out, n, KernelTables(*table_)); i < n; ++i) {
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
