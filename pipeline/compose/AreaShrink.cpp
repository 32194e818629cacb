#include "pipeline/compose/AreaShrink.h"

#include <opencv2/core/hal/intrin.hpp>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

// One source pixel's share of one display pixel, in the order OpenCV sums them.
struct Tap {
    int to;
    int from;
    float weight;
};

// OpenCV's table for one axis (its computeResizeAreaTab with one channel): for each display
// pixel, the partly covered source pixel before, the wholly covered ones, the partly covered one
// after, each weighted by its covered share of the cell.
std::vector<Tap> AreaTaps(int sourceSize, int targetSize, double scale)
{
    std::vector<Tap> taps;
    taps.reserve(static_cast<std::size_t>(sourceSize) * 2);
    for (int d = 0; d < targetSize; ++d) {
        const double first = d * scale;
        const double last = first + scale;
        const double cell = std::min(scale, sourceSize - first);
        int s1 = static_cast<int>(std::ceil(first));
        int s2 = static_cast<int>(std::floor(last));
        s2 = std::min(s2, sourceSize - 1);
        s1 = std::min(s1, s2);
        if (s1 - first > 1e-3)
            taps.push_back({ d, s1 - 1, static_cast<float>((s1 - first) / cell) });
        for (int s = s1; s < s2; ++s)
            taps.push_back({ d, s, static_cast<float>(1.0 / cell) });
        if (last - s2 > 1e-3)
            taps.push_back({ d, s2, static_cast<float>(std::min(std::min(last - s2, 1.), cell) / cell) });
    }
    return taps;
}

// The taps laid out by display pixel, the same number for each: those with fewer are padded with
// taps of weight zero, which add +0 to a sum that is never negative and so change nothing, while
// the loop's branches become the same for every pixel.
struct TapRows {
    int perPixel = 0;
    std::vector<int> from;      // perPixel entries for each display pixel
    std::vector<float> weight;
};

TapRows ByPixel(const std::vector<Tap>& taps, int targetSize)
{
    std::vector<int> count(static_cast<std::size_t>(targetSize), 0);
    for (const Tap& tap : taps)
        ++count[static_cast<std::size_t>(tap.to)];
    TapRows rows;
    rows.perPixel = *std::max_element(count.begin(), count.end());
    rows.from.assign(static_cast<std::size_t>(targetSize * rows.perPixel), 0);
    rows.weight.assign(rows.from.size(), 0.0f);
    std::fill(count.begin(), count.end(), 0);
    for (const Tap& tap : taps) {
        const std::size_t at = static_cast<std::size_t>(tap.to * rows.perPixel + count[static_cast<std::size_t>(tap.to)]++);
        rows.from[at] = tap.from;
        rows.weight[at] = tap.weight;
    }
    // Padding reads the pixel's last real source pixel (weight zero), always a valid one.
    for (int d = 0; d < targetSize; ++d)
        for (int k = count[static_cast<std::size_t>(d)]; k < rows.perPixel; ++k)
            rows.from[static_cast<std::size_t>(d * rows.perPixel + k)] = rows.from[static_cast<std::size_t>(d * rows.perPixel + k - 1)];
    return rows;
}

// One source row spread across the display's width: four floats per display pixel, each pixel's
// sum kept in a register from zero through its taps in their order.
void SpreadRow(const uchar* row, const TapRows& taps, int width, float* out)
{
    const int n = taps.perPixel;
    const int* from = taps.from.data();
    const float* weight = taps.weight.data();
    int d = 0;
#if CV_SIMD128
    auto tap = [row](const int* f, const float* w, int k) {
        return cv::v_cvt_f32(cv::v_reinterpret_as_s32(cv::v_load_expand_q(row + 4 * f[k]))) * cv::v_setall_f32(w[k]);
    };
    // Four pixels side by side, so their sums' additions overlap instead of waiting on each other.
    for (; d + 4 <= width; d += 4, from += 4 * n, weight += 4 * n) {
        cv::v_float32x4 s0 = cv::v_setzero_f32(), s1 = s0, s2 = s0, s3 = s0;
        for (int k = 0; k < n; ++k) {
            s0 = s0 + tap(from, weight, k);
            s1 = s1 + tap(from + n, weight + n, k);
            s2 = s2 + tap(from + 2 * n, weight + 2 * n, k);
            s3 = s3 + tap(from + 3 * n, weight + 3 * n, k);
        }
        cv::v_store(out + 4 * d, s0);
        cv::v_store(out + 4 * d + 4, s1);
        cv::v_store(out + 4 * d + 8, s2);
        cv::v_store(out + 4 * d + 12, s3);
    }
#endif
    for (; d < width; ++d, from += n, weight += n) {
#if CV_SIMD128
        cv::v_float32x4 sum = cv::v_setzero_f32();
        for (int k = 0; k < n; ++k) {
            const cv::v_float32x4 pixel = cv::v_cvt_f32(cv::v_reinterpret_as_s32(cv::v_load_expand_q(row + 4 * from[k])));
            sum = sum + pixel * cv::v_setall_f32(weight[k]);
        }
        cv::v_store(out + 4 * d, sum);
#else
        float sum[4] = { 0, 0, 0, 0 };
        for (int k = 0; k < n; ++k)
            for (int c = 0; c < 4; ++c) {
                const float product = row[4 * from[k] + c] * weight[k];
                sum[c] = sum[c] + product;
            }
        std::copy(sum, sum + 4, out + 4 * d);
#endif
    }
}

} // namespace

bool ShrinkByAreaExact(const cv::Mat& source, cv::Mat& target)
{
    if (source.type() != CV_8UC4 || target.type() != CV_8UC4 || source.empty() || target.empty())
        return false;
    // As cv::resize works out its factors.
    const double scaleX = 1. / (static_cast<double>(target.cols) / source.cols);
    const double scaleY = 1. / (static_cast<double>(target.rows) / source.rows);
    if (scaleX < 1 || scaleY < 1)
        return false;
    const bool wholeFactors = std::abs(scaleX - cvRound(scaleX)) < DBL_EPSILON && std::abs(scaleY - cvRound(scaleY)) < DBL_EPSILON;
    if (wholeFactors)
        return false;

    const TapRows across = ByPixel(AreaTaps(source.cols, target.cols, scaleX), target.cols);
    const std::vector<Tap> down = AreaTaps(source.rows, target.rows, scaleY);
    const int width = target.cols;
    // A source row serves at most two display rows, one after the other: its spread is kept for
    // the second.
    std::vector<float> spread[2] = { std::vector<float>(4 * width), std::vector<float>(4 * width) };
    int spreadRow[2] = { -1, -1 };
    std::vector<float> sums(4 * width);
    auto spreadOf = [&](int y) -> const float* {
        for (int k = 0; k < 2; ++k)
            if (spreadRow[k] == y)
                return spread[k].data();
        const int k = spreadRow[0] < spreadRow[1] ? 0 : 1;
        SpreadRow(source.ptr<uchar>(y), across, width, spread[k].data());
        spreadRow[k] = y;
        return spread[k].data();
    };

    std::size_t j = 0;
    while (j < down.size()) {
        const int y = down[j].to;
        float* sum = sums.data();
        bool first = true;
        for (; j < down.size() && down[j].to == y; ++j) {
            const float* row = spreadOf(down[j].from);
            const float weight = down[j].weight;
            int i = 0;
#if CV_SIMD128
            const cv::v_float32x4 w = cv::v_setall_f32(weight);
            for (; i < 4 * width; i += 4) {
                const cv::v_float32x4 part = cv::v_load(row + i) * w;
                cv::v_store(sum + i, first ? part : cv::v_load(sum + i) + part);
            }
#endif
            for (; i < 4 * width; ++i) {
                const float part = weight * row[i];
                sum[i] = first ? part : sum[i] + part;
            }
            first = false;
        }
        uchar* out = target.ptr<uchar>(y);
        int i = 0;
#if CV_SIMD128
        for (; i + 16 <= 4 * width; i += 16) {
            const cv::v_int32x4 a = cv::v_round(cv::v_load(sum + i));
            const cv::v_int32x4 b = cv::v_round(cv::v_load(sum + i + 4));
            const cv::v_int32x4 c = cv::v_round(cv::v_load(sum + i + 8));
            const cv::v_int32x4 d = cv::v_round(cv::v_load(sum + i + 12));
            cv::v_store(out + i, cv::v_pack_u(cv::v_pack(a, b), cv::v_pack(c, d)));
        }
#endif
        for (; i < 4 * width; ++i)
            out[i] = cv::saturate_cast<uchar>(sum[i]);
    }
    return true;
}
