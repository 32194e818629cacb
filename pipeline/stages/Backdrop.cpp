#include "pipeline/stages/Backdrop.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

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

} // namespace

void Composite(cv::Mat& bgr, const cv::Mat& alpha, const cv::Mat& backdrop, const std::optional<cv::Scalar>& spillKey)
{
    if (!FitsPicture(bgr, alpha))
        return;
    const cv::Mat back = BackdropFor(backdrop, bgr.size());
    if (back.empty())
        return;
    const int spill = spillKey ? SpillChannel(*spillKey) : -1;
    const int o1 = (spill + 1) % 3, o2 = (spill + 2) % 3;
    for (int y = 0; y < bgr.rows; ++y) {
        auto* out = bgr.ptr<cv::Vec3b>(y);
        const auto* b = back.ptr<cv::Vec3b>(y);
        const uchar* a = alpha.ptr<uchar>(y);
        for (int x = 0; x < bgr.cols; ++x) {
            const int ax = a[x];
            if (ax == 0) {
                out[x] = b[x];
                continue;
            }
            cv::Vec3b f = out[x];
            if (spill >= 0)
                f[spill] = std::min(f[spill], std::max(f[o1], f[o2]));
            if (ax == 255) {
                out[x] = f;
                continue;
            }
            for (int c = 0; c < 3; ++c)
                out[x][c] = static_cast<uchar>(Div255(f[c] * ax + b[x][c] * (255 - ax)));
        }
    }
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
    cv::Mat picture, weight;
    cv::resize(bgr, picture, small, 0, 0, factor > 1 ? cv::INTER_AREA : cv::INTER_LINEAR);
    cv::resize(alpha, weight, small, 0, 0, factor > 1 ? cv::INTER_AREA : cv::INTER_LINEAR);
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
