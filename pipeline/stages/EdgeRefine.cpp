#include "pipeline/stages/EdgeRefine.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

cv::Mat Box(const cv::Mat& m, int radius)
{
    cv::Mat out;
    cv::boxFilter(m, out, CV_32F, cv::Size(2 * radius + 1, 2 * radius + 1));
    return out;
}

// Per reduced pixel: the three colour weights (already divided by 255 so that they apply to raw
// bytes) and the offset of the linear model alpha = a · colour + b, averaged over the window.
cv::Mat Coefficients(const cv::Mat& smallBgr, const cv::Mat& p, const EdgeRefineParams& params)
{
    const int r = params.radius;
    cv::Mat guide;
    smallBgr.convertTo(guide, CV_32FC3, 1.0 / 255);
    cv::Mat ch[3];
    cv::split(guide, ch);
    cv::Mat meanI[3], covIp[3];
    const cv::Mat meanP = Box(p, r);
    for (int c = 0; c < 3; ++c) {
        meanI[c] = Box(ch[c], r);
        covIp[c] = Box(ch[c].mul(p), r) - meanI[c].mul(meanP);
    }
    // The colour covariance: 0 = BB, 1 = BG, 2 = BR, 3 = GG, 4 = GR, 5 = RR.
    cv::Mat var[6];
    int k = 0;
    for (int i = 0; i < 3; ++i)
        for (int j = i; j < 3; ++j)
            var[k++] = Box(ch[i].mul(ch[j]), r) - meanI[i].mul(meanI[j]);

    cv::Mat ab(p.size(), CV_32FC4);
    const float eps = static_cast<float>(params.epsilon);
    for (int y = 0; y < p.rows; ++y) {
        const float* v[6];
        for (int i = 0; i < 6; ++i)
            v[i] = var[i].ptr<float>(y);
        const float* cov[3] = { covIp[0].ptr<float>(y), covIp[1].ptr<float>(y), covIp[2].ptr<float>(y) };
        const float* mean[3] = { meanI[0].ptr<float>(y), meanI[1].ptr<float>(y), meanI[2].ptr<float>(y) };
        const float* mp = meanP.ptr<float>(y);
        auto* out = ab.ptr<cv::Vec4f>(y);
        for (int x = 0; x < p.cols; ++x) {
            const float s00 = v[0][x] + eps, s01 = v[1][x], s02 = v[2][x];
            const float s11 = v[3][x] + eps, s12 = v[4][x];
            const float s22 = v[5][x] + eps;
            // The symmetric 3 × 3 inverse by cofactors.
            const float c00 = s11 * s22 - s12 * s12, c01 = s02 * s12 - s01 * s22, c02 = s01 * s12 - s02 * s11;
            const float c11 = s00 * s22 - s02 * s02, c12 = s01 * s02 - s00 * s12, c22 = s00 * s11 - s01 * s01;
            const float inv = 1.0f / (s00 * c00 + s01 * c01 + s02 * c02);
            const float a0 = (c00 * cov[0][x] + c01 * cov[1][x] + c02 * cov[2][x]) * inv;
            const float a1 = (c01 * cov[0][x] + c11 * cov[1][x] + c12 * cov[2][x]) * inv;
            const float a2 = (c02 * cov[0][x] + c12 * cov[1][x] + c22 * cov[2][x]) * inv;
            const float b = mp[x] - a0 * mean[0][x] - a1 * mean[1][x] - a2 * mean[2][x];
            out[x] = cv::Vec4f(a0 / 255.0f, a1 / 255.0f, a2 / 255.0f, b);
        }
    }
    return Box(ab, r);
}

// Where a reduced pixel's output may differ from the coarse mask: within reach of both sides.
cv::Mat EdgeBand(const cv::Mat& p, int radius)
{
    const cv::Mat person = p > 0.98f;
    const cv::Mat background = p < 0.02f;
    // Two windows (coefficients, then their average) and one more pixel for the interpolation.
    const cv::Mat kernel = cv::getStructuringElement(cv::MORPH_RECT, cv::Size(4 * radius + 3, 4 * radius + 3));
    cv::Mat innerPerson, innerBackground;
    cv::erode(person, innerPerson, kernel, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
    cv::erode(background, innerBackground, kernel, cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
    return ~(innerPerson | innerBackground);
}

} // namespace

void RefineMaskEdges(const cv::Mat& bgr, const cv::Mat& smallBgr, const cv::Mat& smallMask, cv::Mat& alpha,
    const EdgeRefineParams& params)
{
    CV_Assert(bgr.type() == CV_8UC3 && smallBgr.type() == CV_8UC3 && smallMask.type() == CV_32FC1);
    CV_Assert(smallBgr.size() == smallMask.size() && !smallMask.empty());
    alpha.create(bgr.size(), CV_8UC1);
    if (bgr.empty())
        return;
    const cv::Mat band = EdgeBand(smallMask, params.radius);
    const bool anyEdge = cv::countNonZero(band) > 0;
    const cv::Mat ab = anyEdge ? Coefficients(smallBgr, smallMask, params) : cv::Mat();

    const int W = bgr.cols, H = bgr.rows, w = smallMask.cols, h = smallMask.rows;
    const double sx = static_cast<double>(w) / W, sy = static_cast<double>(h) / H;
    // Each full-size column: its reduced cell, and the two reduced columns it lies between.
    std::vector<int> cell(W), x0(W), x1(W);
    std::vector<float> wx(W);
    for (int x = 0; x < W; ++x) {
        cell[x] = std::min(w - 1, static_cast<int>(x * sx));
        const double fx = std::clamp((x + 0.5) * sx - 0.5, 0.0, w - 1.0);
        x0[x] = static_cast<int>(fx);
        x1[x] = std::min(w - 1, x0[x] + 1);
        wx[x] = static_cast<float>(fx - x0[x]);
    }
    for (int y = 0; y < H; ++y) {
        const int cy = std::min(h - 1, static_cast<int>(y * sy));
        const double fy = std::clamp((y + 0.5) * sy - 0.5, 0.0, h - 1.0);
        const int y0 = static_cast<int>(fy), y1 = std::min(h - 1, y0 + 1);
        const float wy = static_cast<float>(fy - y0);
        const uchar* bandRow = band.ptr<uchar>(cy);
        const float* maskRow = smallMask.ptr<float>(cy);
        const cv::Vec3b* in = bgr.ptr<cv::Vec3b>(y);
        uchar* out = alpha.ptr<uchar>(y);
        const cv::Vec4f* ab0 = anyEdge ? ab.ptr<cv::Vec4f>(y0) : nullptr;
        const cv::Vec4f* ab1 = anyEdge ? ab.ptr<cv::Vec4f>(y1) : nullptr;
        int x = 0;
        while (x < W) {
            // A run of full-size pixels in one reduced cell.
            const int c = cell[x];
            int end = x + 1;
            while (end < W && cell[end] == c)
                ++end;
            if (!bandRow[c]) {
                std::fill(out + x, out + end, maskRow[c] >= 0.5f ? uchar(255) : uchar(0));
            } else {
                for (; x < end; ++x) {
                    const float fx = wx[x];
                    const cv::Vec4f top = ab0[x0[x]] * (1 - fx) + ab0[x1[x]] * fx;
                    const cv::Vec4f bottom = ab1[x0[x]] * (1 - fx) + ab1[x1[x]] * fx;
                    const cv::Vec4f m = top * (1 - wy) + bottom * wy;
                    const float q = m[0] * in[x][0] + m[1] * in[x][1] + m[2] * in[x][2] + m[3];
                    out[x] = static_cast<uchar>(std::clamp(q * 255.0f + 0.5f, 0.0f, 255.0f));
                }
            }
            x = end;
        }
    }
}
