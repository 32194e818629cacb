#include "pipeline/stages/ColourKey.h"

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
    std::vector<uchar> table(256 * 256);
    for (int cb = 0; cb < 256; ++cb) {
        for (int cr = 0; cr < 256; ++cr) {
            const double dx = cb - 128, dy = cr - 128;
            const double along = dx * ux + dy * uy;
            const double across = std::abs(dx * uy - dy * ux);
            const double keyness = std::clamp((along - across * cotangent - start) / (full - start), 0.0, 1.0);
            table[static_cast<std::size_t>(cb * 256 + cr)] = static_cast<uchar>(std::lround(255 * (1 - keyness)));
        }
    }
    for (int y = 0; y < bgr.rows; ++y) {
        const auto* in = bgr.ptr<cv::Vec3b>(y);
        uchar* out = alpha.ptr<uchar>(y);
        for (int x = 0; x < bgr.cols; ++x) {
            const int b = in[x][0], g = in[x][1], r = in[x][2];
            const int cb = std::clamp(ChromaB(b, g, r), 0, 255), cr = std::clamp(ChromaR(b, g, r), 0, 255);
            out[x] = table[static_cast<std::size_t>(cb * 256 + cr)];
        }
    }
}
