#include "pipeline/stages/Backdrop.h"

#include <opencv2/core/hal/intrin.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// x / 255, rounded, for x up to 255 · 255.
inline int Div255(int x)
{
    x += 128;
    return (x + (x >> 8)) >> 8;
}

bool FitsPicture(const cv::Mat& bgr, const cv::Mat& alpha)
{
    return !bgr.empty() && bgr.type() == CV_8UC3 && alpha.type() == CV_8UC1 && alpha.size() == bgr.size();
}

// The backdrop as BGR at the picture's size; empty when it cannot be had.
cv::Mat BackdropFor(const cv::Mat& backdrop, cv::Size size)
{
    if (backdrop.empty() || backdrop.depth() != CV_8U)
        return {};
    cv::Mat bgr;
    switch (backdrop.channels()) {
    case 3:
        bgr = backdrop;
        break;
    case 4:
        cv::cvtColor(backdrop, bgr, cv::COLOR_BGRA2BGR);
        break;
    case 1:
        cv::cvtColor(backdrop, bgr, cv::COLOR_GRAY2BGR);
        break;
    default:
        return {};
    }
    if (bgr.size() != size) {
        cv::Mat scaled;
        cv::resize(bgr, scaled, size, 0, 0, cv::INTER_LINEAR);
        bgr = scaled;
    }
    return bgr;
}

// The channel a key colour is strongest in, when it clearly is.
int SpillChannel(const cv::Scalar& key)
{
    const int strongest = static_cast<int>(std::max_element(&key[0], &key[0] + 3) - &key[0]);
    const double others = std::max(key[(strongest + 1) % 3], key[(strongest + 2) % 3]);
    return key[strongest] - others >= 24 ? strongest : -1;
}

// One row of the composite: out = (person · a + backdrop · (255 − a)) / 255 per channel, with the
// key's channel first held back on the person. Sixteen pixels at a time; blocks wholly room take
// the backdrop and blocks wholly person without a key are left, which is most of a picture.
void CompositeRow(uchar* out, const uchar* back, const uchar* a, int width, int spill)
{
    int x = 0;
#if CV_SIMD128
    const int o1 = (spill + 1) % 3, o2 = (spill + 2) % 3;
    const cv::v_uint8x16 zero = cv::v_setzero_u8(), full = cv::v_setall_u8(255);
    const cv::v_uint16x8 full16 = cv::v_setall_u16(255), half = cv::v_setall_u16(128);
    for (; x + 16 <= width; x += 16) {
        const cv::v_uint8x16 av = cv::v_load(a + x);
        if (cv::v_check_all(av == zero)) {
            std::memcpy(out + 3 * x, back + 3 * x, 48);
            continue;
        }
        const bool person = cv::v_check_all(av == full);
        if (person && spill < 0)
            continue;
        cv::v_uint8x16 f[3], b[3];
        cv::v_load_deinterleave(out + 3 * x, f[0], f[1], f[2]);
        if (spill >= 0)
            f[spill] = cv::v_min(f[spill], cv::v_max(f[o1], f[o2]));
        if (!person) {
            cv::v_load_deinterleave(back + 3 * x, b[0], b[1], b[2]);
            cv::v_uint16x8 aLow, aHigh;
            cv::v_expand(av, aLow, aHigh);
            const cv::v_uint16x8 rLow = full16 - aLow, rHigh = full16 - aHigh;
            for (int c = 0; c < 3; ++c) {
                cv::v_uint16x8 fLow, fHigh, bLow, bHigh;
                cv::v_expand(f[c], fLow, fHigh);
                cv::v_expand(b[c], bLow, bHigh);
                // At most 255 · 255 + 128: no lane overflows, and the division is Div255's.
                cv::v_uint16x8 low = cv::v_mul_wrap(fLow, aLow) + cv::v_mul_wrap(bLow, rLow) + half;
                cv::v_uint16x8 high = cv::v_mul_wrap(fHigh, aHigh) + cv::v_mul_wrap(bHigh, rHigh) + half;
                low = (low + (low >> 8)) >> 8;
                high = (high + (high >> 8)) >> 8;
                f[c] = cv::v_pack(low, high);
            }
        }
        cv::v_store_interleave(out + 3 * x, f[0], f[1], f[2]);
    }
#endif
    for (; x < width; ++x) {
        uchar* o = out + 3 * x;
        const uchar* b = back + 3 * x;
        const int ax = a[x];
        if (ax == 0) {
            o[0] = b[0], o[1] = b[1], o[2] = b[2];
            continue;
        }
        if (spill >= 0)
            o[spill] = std::min(o[spill], std::max(o[(spill + 1) % 3], o[(spill + 2) % 3]));
        if (ax == 255)
            continue;
        for (int c = 0; c < 3; ++c)
            o[c] = static_cast<uchar>(Div255(o[c] * ax + b[c] * (255 - ax)));
    }
}

// The picture averaged down to `size`: halved while it stays at least twice as large (OpenCV
// averages exact halves quickly; a general area average over a whole frame is ten times dearer),
// then averaged the rest of the way. An odd last row or column is left out of a halving: the
// wide blur this serves does not see it.
cv::Mat Reduced(const cv::Mat& picture, cv::Size size)
{
    if (picture.size() == size)
        return picture.clone();
    cv::Mat current = picture;
    while (current.cols / 2 >= size.width * 2 && current.rows / 2 >= size.height * 2) {
        const cv::Size half(current.cols / 2, current.rows / 2);
        cv::Mat halved;
        cv::resize(current(cv::Rect(0, 0, 2 * half.width, 2 * half.height)), halved, half, 0, 0, cv::INTER_AREA);
        current = halved;
    }
    cv::Mat reduced;
    const bool smaller = size.width < current.cols || size.height < current.rows;
    cv::resize(current, reduced, size, 0, 0, smaller ? cv::INTER_AREA : cv::INTER_LINEAR);
    return reduced;
}

} // namespace

void Composite(cv::Mat& bgr, const cv::Mat& alpha, const cv::Mat& backdrop, const std::optional<cv::Scalar>& spillKey)
{
    if (!FitsPicture(bgr, alpha))
        return;
    const cv::Mat back = BackdropFor(backdrop, bgr.size());
    if (back.empty())
        return;
    const int spill = spillKey ? SpillChannel(*spillKey) : -1;
    for (int y = 0; y < bgr.rows; ++y)
        CompositeRow(bgr.ptr<uchar>(y), back.ptr<uchar>(y), alpha.ptr<uchar>(y), bgr.cols, spill);
}

void BlurBackground(cv::Mat& bgr, const cv::Mat& alpha, int strength)
{
    strength = std::clamp(strength, 0, 100);
    if (strength == 0 || !FitsPicture(bgr, alpha))
        return;
    const double sigma = strength / 100.0 * bgr.rows / 25.0;
    if (sigma < 0.3)
        return;
    // A wide blur on a picture reduced so the kernel stays a few pixels across; it is smooth
    // enough to scale back up.
    const double factor = std::max(1.0, std::min(sigma / 3.0, std::min(bgr.cols, bgr.rows) / 8.0));
    const cv::Size small(std::max(1, static_cast<int>(std::lround(bgr.cols / factor))),
        std::max(1, static_cast<int>(std::lround(bgr.rows / factor))));
    cv::Mat picture = Reduced(bgr, small), weight = Reduced(alpha, small);
    picture.convertTo(picture, CV_32FC3);
    weight.convertTo(weight, CV_32F, -1.0 / 255, 1.0); // the room's share of each pixel
    // The room averaged over room pixels only: blurring picture × weight and dividing by the
    // blurred weight keeps the person's colours out of the room around them.
    cv::Mat weighted;
    cv::Mat weight3;
    cv::merge(std::vector<cv::Mat> { weight, weight, weight }, weight3);
    cv::multiply(picture, weight3, weighted);
    const double smallSigma = sigma / factor;
    cv::GaussianBlur(weighted, weighted, cv::Size(), smallSigma, smallSigma, cv::BORDER_REFLECT);
    cv::GaussianBlur(weight3, weight3, cv::Size(), smallSigma, smallSigma, cv::BORDER_REFLECT);
    cv::Mat plain;
    cv::GaussianBlur(picture, plain, cv::Size(), smallSigma, smallSigma, cv::BORDER_REFLECT);
    cv::Mat room(small, CV_32FC3);
    for (int y = 0; y < small.height; ++y) {
        const auto* num = weighted.ptr<cv::Vec3f>(y);
        const auto* den = weight3.ptr<cv::Vec3f>(y);
        const auto* p = plain.ptr<cv::Vec3f>(y);
        auto* out = room.ptr<cv::Vec3f>(y);
        for (int x = 0; x < small.width; ++x)
            // Deep inside the person no room is near: the plain blur stands in (it is covered).
            out[x] = den[x][0] > 1e-3f ? num[x] / den[x][0] : p[x];
    }
    cv::Mat room8;
    room.convertTo(room8, CV_8UC3);
    Composite(bgr, alpha, room8);
}
