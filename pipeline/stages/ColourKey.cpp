#include "pipeline/stages/ColourKey.h"

#include <opencv2/core/hal/intrin.hpp>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// Chroma offsets of full-range BT.601, in 1/65536.
constexpr int kCbR = -11059, kCbG = -21709, kCbB = 32768;
constexpr int kCrR = 32768, kCrG = -27439, kCrB = -5329;

int ChromaB(int b, int g, int r) { return (kCbR * r + kCbG * g + kCbB * b + (128 << 16) + 32768) >> 16; }
int ChromaR(int b, int g, int r) { return (kCrR * r + kCrG * g + kCrB * b + (128 << 16) + 32768) >> 16; }

// The Cb and Cr of a row of BGR pixels, clamped to 0 … 255.
void ChromaRow(const uchar* bgr, uchar* cb, uchar* cr, int width)
{
    int x = 0;
#if CV_SIMD128
    // Pairs of 16-bit samples times pairs of weights, summed in 32-bit lanes; the weight of a
    // half (32768) does not fit 16 bits and is a shift instead.
    static_assert(kCbB == 32768 && kCrR == 32768);
    const cv::v_int16x8 cbRG = cv::v_int16x8(kCbR, kCbG, kCbR, kCbG, kCbR, kCbG, kCbR, kCbG);
    const cv::v_int16x8 crGB = cv::v_int16x8(kCrG, kCrB, kCrG, kCrB, kCrG, kCrB, kCrG, kCrB);
    const cv::v_int32x4 offset = cv::v_setall_s32((128 << 16) + 32768);
    auto chroma = [&](const cv::v_int16x8& pairs, const cv::v_int16x8& weights, const cv::v_int32x4& half) {
        return (cv::v_dotprod(pairs, weights) + (half << 15) + offset) >> 16;
    };
    for (; x + 16 <= width; x += 16) {
        cv::v_uint8x16 b, g, r;
        cv::v_load_deinterleave(bgr + 3 * x, b, g, r);
        cv::v_uint16x8 b16[2], g16[2], r16[2];
        cv::v_expand(b, b16[0], b16[1]);
        cv::v_expand(g, g16[0], g16[1]);
        cv::v_expand(r, r16[0], r16[1]);
        cv::v_int32x4 cbOut[4], crOut[4];
        for (int h = 0; h < 2; ++h) {
            cv::v_int16x8 rg[2], gb[2];
            cv::v_zip(cv::v_reinterpret_as_s16(r16[h]), cv::v_reinterpret_as_s16(g16[h]), rg[0], rg[1]);
            cv::v_zip(cv::v_reinterpret_as_s16(g16[h]), cv::v_reinterpret_as_s16(b16[h]), gb[0], gb[1]);
            cv::v_uint32x4 bw[2], rw[2];
            cv::v_expand(b16[h], bw[0], bw[1]);
            cv::v_expand(r16[h], rw[0], rw[1]);
            for (int q = 0; q < 2; ++q) {
                cbOut[2 * h + q] = chroma(rg[q], cbRG, cv::v_reinterpret_as_s32(bw[q]));
                crOut[2 * h + q] = chroma(gb[q], crGB, cv::v_reinterpret_as_s32(rw[q]));
            }
        }
        cv::v_store(cb + x, cv::v_pack_u(cv::v_pack(cbOut[0], cbOut[1]), cv::v_pack(cbOut[2], cbOut[3])));
        cv::v_store(cr + x, cv::v_pack_u(cv::v_pack(crOut[0], crOut[1]), cv::v_pack(crOut[2], crOut[3])));
    }
#endif
    for (; x < width; ++x) {
        const int b = bgr[3 * x], g = bgr[3 * x + 1], r = bgr[3 * x + 2];
        cb[x] = static_cast<uchar>(std::clamp(ChromaB(b, g, r), 0, 255));
        cr[x] = static_cast<uchar>(std::clamp(ChromaR(b, g, r), 0, 255));
    }
}

struct KeyTable {
    double keyB = 0, keyR = 0, tolerance = -1;
    std::vector<uchar> entries;
};

} // namespace

void ColourKeyAlpha(const cv::Mat& bgr, const cv::Scalar& keyBgr, int tolerance, cv::Mat& alpha)
{
    CV_Assert(bgr.empty() || bgr.type() == CV_8UC3);
    alpha.create(bgr.size(), CV_8UC1);
    if (bgr.empty())
        return;
    const double t = std::clamp(tolerance, 0, 100);
    auto channel = [&](int i) { return std::clamp(keyBgr[i], 0.0, 255.0); };
    const double keyB = 0.5 * channel(0) - 0.331264 * channel(1) - 0.168736 * channel(2);
    const double keyR = -0.081312 * channel(0) - 0.418688 * channel(1) + 0.5 * channel(2);
    const double keyLength = std::hypot(keyB, keyR);
    if (keyLength < kLeastKeyChroma) {
        alpha.setTo(255);
        return;
    }
    // The key region in the chroma plane: a wedge around the key's direction (half-angle from
    // 15° to 60° with the tolerance), starting a little way out from grey so that greys, blacks
    // and whites stay person; the cloth counts fully a little further out.
    const double halfAngle = (15.0 + 0.45 * t) * CV_PI / 180;
    const double cotangent = 1.0 / std::tan(halfAngle);
    const double start = 24.0 - 0.16 * t;
    const double full = start + 12.0;
    const double ux = keyB / keyLength, uy = keyR / keyLength;
    // The person's share for every (Cb, Cr): a table, so the picture costs a look-up per pixel.
    // It is kept for the next frame, which nearly always asks for the same key.
    thread_local KeyTable table;
    if (table.entries.empty() || table.keyB != keyB || table.keyR != keyR || table.tolerance != t) {
        table.entries.resize(256 * 256);
        for (int cb = 0; cb < 256; ++cb) {
            for (int cr = 0; cr < 256; ++cr) {
                const double dx = cb - 128, dy = cr - 128;
                const double along = dx * ux + dy * uy;
                const double across = std::abs(dx * uy - dy * ux);
                const double keyness = std::clamp((along - across * cotangent - start) / (full - start), 0.0, 1.0);
                table.entries[static_cast<std::size_t>(cb * 256 + cr)] = static_cast<uchar>(std::lround(255 * (1 - keyness)));
            }
        }
        table.keyB = keyB, table.keyR = keyR, table.tolerance = t;
    }
    std::vector<uchar> cb(static_cast<std::size_t>(bgr.cols)), cr(static_cast<std::size_t>(bgr.cols));
    for (int y = 0; y < bgr.rows; ++y) {
        ChromaRow(bgr.ptr<uchar>(y), cb.data(), cr.data(), bgr.cols);
        uchar* out = alpha.ptr<uchar>(y);
        for (int x = 0; x < bgr.cols; ++x)
            out[x] = table.entries[static_cast<std::size_t>(cb[x]) << 8 | cr[x]];
    }
}
