#include "pipeline/compose/Present.h"

#include "pipeline/compose/AreaShrink.h"

#include <opencv2/core.hpp>
#include <opencv2/core/hal/intrin.hpp>
#include <opencv2/imgproc.hpp>

#include <cstdint>

namespace {

// cv::resize(INTER_AREA) takes its slow general path for 4 : 3 (5 ms a frame at 640 × 480 on one
// core); this box filter gives the same means with exact rounding. Four picture pixels
// become three display pixels on each axis, with weights (in quarters) 3 1 | 2 2 | 1 3; a display
// row mixes two picture rows the same way, so each display pixel is a sum of weight 16.

bool IsThreeQuarters(const cv::Mat& from, const cv::Mat& to)
{
    return to.cols * 4 == from.cols * 3 && to.rows * 4 == from.rows * 3;
}

// Two 8-bit samples of a pixel spread into the 16-bit halves of a word, so one integer operation
// works on both: samples 0 and 2, or, shifted by 8 first, samples 1 and 3.
constexpr std::uint32_t kSpread = 0x00FF00FFu;
constexpr std::uint32_t kHalfOf16 = 0x00080008u;

// One group: four pixels of the upper and lower picture rows, weighted wUpper and wLower (summing
// to 4), to three display pixels. Every partial sum stays below 4096, inside its 16-bit half.
void ThreeQuartersGroup(const std::uint32_t* upper, const std::uint32_t* lower, std::uint32_t wUpper,
    std::uint32_t wLower, std::uint32_t* out)
{
    std::uint32_t even[4];
    std::uint32_t odd[4];
    for (int m = 0; m < 4; ++m) {
        even[m] = wUpper * (upper[m] & kSpread) + wLower * (lower[m] & kSpread);
        odd[m] = wUpper * ((upper[m] >> 8) & kSpread) + wLower * ((lower[m] >> 8) & kSpread);
    }
    const std::uint32_t evenOut[3] = { 3 * even[0] + even[1], 2 * (even[1] + even[2]), even[2] + 3 * even[3] };
    const std::uint32_t oddOut[3] = { 3 * odd[0] + odd[1], 2 * (odd[1] + odd[2]), odd[2] + 3 * odd[3] };
    for (int c = 0; c < 3; ++c)
        out[c] = (((evenOut[c] + kHalfOf16) >> 4) & kSpread) | ((((oddOut[c] + kHalfOf16) >> 4) & kSpread) << 8);
}

#if CV_SIMD128
// Four groups at once in 16-bit lanes, one picture pixel (four samples) per half register; the
// same sums and rounding as ThreeQuartersGroup.
void ThreeQuartersFourGroups(const uchar* upper, const uchar* lower, const cv::v_uint16x8& wUpper,
    const cv::v_uint16x8& wLower, uchar* out)
{
    const cv::v_uint16x8 w32(3, 3, 3, 3, 2, 2, 2, 2);
    const cv::v_uint16x8 w12(1, 1, 1, 1, 2, 2, 2, 2);
    const cv::v_uint16x8 w13(1, 1, 1, 1, 3, 3, 3, 3);
    cv::v_uint16x8 first[4]; // display pixels 0 and 1 of each group
    cv::v_uint16x8 last[4];  // display pixel 2 of each group, in both halves
    for (int k = 0; k < 4; ++k) {
        cv::v_uint16x8 a0, a1, b0, b1;
        cv::v_expand(cv::v_load(upper + 16 * k), a0, a1);
        cv::v_expand(cv::v_load(lower + 16 * k), b0, b1);
        const cv::v_uint16x8 p01 = cv::v_mul_wrap(a0, wUpper) + cv::v_mul_wrap(b0, wLower);
        const cv::v_uint16x8 p23 = cv::v_mul_wrap(a1, wUpper) + cv::v_mul_wrap(b1, wLower);
        // 3·p0 + p1 | 2·p1 + 2·p2
        first[k] = cv::v_mul_wrap(p01, w32) + cv::v_mul_wrap(cv::v_extract<4>(p01, p23), w12);
        // p2 + 3·p3
        const cv::v_uint16x8 z = cv::v_mul_wrap(p23, w13);
        last[k] = z + cv::v_extract<4>(z, z);
    }
    // Twelve display pixels in order, four per store.
    cv::v_store(out, cv::v_rshr_pack<4>(first[0], cv::v_combine_low(last[0], first[1])));
    cv::v_store(out + 16, cv::v_rshr_pack<4>(cv::v_combine_high(first[1], last[1]), first[2]));
    cv::v_store(out + 32, cv::v_rshr_pack<4>(cv::v_combine_low(last[2], first[3]), cv::v_combine_high(first[3], last[3])));
}
#endif

void ThreeQuartersRow(const std::uint32_t* upper, const std::uint32_t* lower, std::uint32_t wUpper,
    std::uint32_t wLower, std::uint32_t* out, int groups)
{
    int g = 0;
#if CV_SIMD128
    const cv::v_uint16x8 vUpper = cv::v_setall_u16(static_cast<std::uint16_t>(wUpper));
    const cv::v_uint16x8 vLower = cv::v_setall_u16(static_cast<std::uint16_t>(wLower));
    for (; g + 4 <= groups; g += 4) {
        ThreeQuartersFourGroups(reinterpret_cast<const uchar*>(upper + 4 * g),
            reinterpret_cast<const uchar*>(lower + 4 * g), vUpper, vLower, reinterpret_cast<uchar*>(out + 3 * g));
    }
#endif
    for (; g < groups; ++g)
        ThreeQuartersGroup(upper + 4 * g, lower + 4 * g, wUpper, wLower, out + 3 * g);
}

void ThreeQuartersArea(const cv::Mat& picture, cv::Mat& display)
{
    for (int y = 0; y < display.rows; ++y) {
        const int phase = y % 3;
        const int upper = y / 3 * 4 + phase;
        ThreeQuartersRow(picture.ptr<std::uint32_t>(upper), picture.ptr<std::uint32_t>(upper + 1),
            static_cast<std::uint32_t>(3 - phase), static_cast<std::uint32_t>(1 + phase),
            display.ptr<std::uint32_t>(y), display.cols / 3);
    }
}

} // namespace

QImage DisplayBuffers::Stretch(const QImage& picture, QSize displaySize)
{
    if (picture.isNull() || displaySize.isEmpty() || picture.size() == displaySize)
        return picture;
    QImage& target = buffers_[next_];
    next_ ^= 1;
    // Still shown (or waiting to be shown) by the interface thread: make a new one instead.
    if (target.size() != displaySize || target.format() != picture.format() || !target.isDetached())
        target = QImage(displaySize, picture.format());
    ScaleByAreaInto(picture, target);
    return target;
}

void ScaleByAreaInto(const QImage& picture, QImage& target)
{
    CV_Assert(picture.depth() == 32 && target.depth() == 32 && !picture.isNull() && !target.isNull());
    // Headers over the images' own rows; nothing is copied. The picture is only read.
    const cv::Mat source(picture.height(), picture.width(), CV_8UC4, const_cast<uchar*>(picture.constBits()),
        static_cast<size_t>(picture.bytesPerLine()));
    cv::Mat display(target.height(), target.width(), CV_8UC4, target.bits(), static_cast<size_t>(target.bytesPerLine()));
    if (IsThreeQuarters(source, display))
        ThreeQuartersArea(source, display);
    else if (!ShrinkByAreaExact(source, display))
        cv::resize(source, display, display.size(), 0, 0, cv::INTER_AREA);
    CV_Assert(display.data == target.constBits()); // written in place, never reallocated
}
