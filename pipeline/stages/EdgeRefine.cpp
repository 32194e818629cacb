#include "pipeline/stages/EdgeRefine.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

void Box(const cv::Mat& m, cv::Mat& out, int radius)
{
    cv::boxFilter(m, out, CV_32F, cv::Size(2 * radius + 1, 2 * radius + 1));
}

cv::Rect Grown(const cv::Rect& r, int by, cv::Size bounds)
{
    return cv::Rect(r.x - by, r.y - by, r.width + 2 * by, r.height + 2 * by) & cv::Rect(cv::Point(), bounds);
}

// Per reduced pixel of `area` (a part of the reduced picture): the three colour weights and the
// offset of the linear model alpha · 255 = a · raw colour + b, averaged over the window, with the
// rounding half already added to b. Valid where the windows of `area` fall inside it or on the
// picture's border: the caller leaves two radii of margin.
cv::Mat Coefficients(const cv::Mat& smallBgr, const cv::Mat& smallMask, const cv::Rect& area, const EdgeRefineParams& params)
{
    const int r = params.radius;
    const cv::Size size = area.size();
    // The guide on a 0–1 scale, and the products the window sums need, in one pass.
    cv::Mat guide(size, CV_32FC3), guideMask(size, CV_32FC3), squaresA(size, CV_32FC3), squaresB(size, CV_32FC3);
    for (int y = 0; y < size.height; ++y) {
        const uchar* in = smallBgr.ptr<uchar>(area.y + y) + 3 * area.x;
        const float* p = smallMask.ptr<float>(area.y + y) + area.x;
        float* g = guide.ptr<float>(y);
        float* gp = guideMask.ptr<float>(y);
        float* sa = squaresA.ptr<float>(y);
        float* sb = squaresB.ptr<float>(y);
        for (int x = 0; x < size.width; ++x) {
            const float b = in[3 * x] * (1 / 255.0f), gr = in[3 * x + 1] * (1 / 255.0f), rd = in[3 * x + 2] * (1 / 255.0f);
            g[3 * x] = b, g[3 * x + 1] = gr, g[3 * x + 2] = rd;
            gp[3 * x] = b * p[x], gp[3 * x + 1] = gr * p[x], gp[3 * x + 2] = rd * p[x];
            sa[3 * x] = b * b, sa[3 * x + 1] = b * gr, sa[3 * x + 2] = b * rd;
            sb[3 * x] = gr * gr, sb[3 * x + 1] = gr * rd, sb[3 * x + 2] = rd * rd;
        }
    }
    cv::Mat meanI, meanIp, meanA, meanB, meanP;
    Box(guide, meanI, r);
    Box(guideMask, meanIp, r);
    Box(squaresA, meanA, r);
    Box(squaresB, meanB, r);
    Box(smallMask(area), meanP, r);

    cv::Mat ab(size, CV_32FC4);
    const float eps = static_cast<float>(params.epsilon);
    for (int y = 0; y < size.height; ++y) {
        const float* mi = meanI.ptr<float>(y);
        const float* mip = meanIp.ptr<float>(y);
        const float* ma = meanA.ptr<float>(y);
        const float* mb = meanB.ptr<float>(y);
        const float* mp = meanP.ptr<float>(y);
        float* out = ab.ptr<float>(y);
        for (int x = 0; x < size.width; ++x) {
            const float i0 = mi[3 * x], i1 = mi[3 * x + 1], i2 = mi[3 * x + 2], p = mp[x];
            const float s00 = ma[3 * x] - i0 * i0 + eps, s01 = ma[3 * x + 1] - i0 * i1, s02 = ma[3 * x + 2] - i0 * i2;
            const float s11 = mb[3 * x] - i1 * i1 + eps, s12 = mb[3 * x + 1] - i1 * i2;
            const float s22 = mb[3 * x + 2] - i2 * i2 + eps;
            const float v0 = mip[3 * x] - i0 * p, v1 = mip[3 * x + 1] - i1 * p, v2 = mip[3 * x + 2] - i2 * p;
            // The symmetric 3 × 3 inverse by cofactors.
            const float c00 = s11 * s22 - s12 * s12, c01 = s02 * s12 - s01 * s22, c02 = s01 * s12 - s02 * s11;
            const float c11 = s00 * s22 - s02 * s02, c12 = s01 * s02 - s00 * s12, c22 = s00 * s11 - s01 * s01;
            const float inv = 1.0f / (s00 * c00 + s01 * c01 + s02 * c02);
            const float a0 = (c00 * v0 + c01 * v1 + c02 * v2) * inv;
            const float a1 = (c01 * v0 + c11 * v1 + c12 * v2) * inv;
            const float a2 = (c02 * v0 + c12 * v1 + c22 * v2) * inv;
            const float b = p - a0 * i0 - a1 * i1 - a2 * i2;
            out[4 * x] = a0, out[4 * x + 1] = a1, out[4 * x + 2] = a2, out[4 * x + 3] = 255.0f * b + 0.5f;
        }
    }
    cv::Mat averaged;
    Box(ab, averaged, r);
    return averaged;
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
    const int W = bgr.cols, H = bgr.rows, w = smallMask.cols, h = smallMask.rows;

    // The coefficients are needed on the band and one pixel round it (the interpolation); they
    // are worked out with two windows' margin more, so that every window sum there is whole.
    const cv::Rect bandRect = cv::boundingRect(band);
    const bool anyEdge = !bandRect.empty();
    const double sx = static_cast<double>(w) / W, sy = static_cast<double>(h) / H;
    // (A full picture smaller than the reduced one interpolates from further away.)
    const int reach = sx > 1 || sy > 1 ? std::max(w, h) : 1;
    const cv::Rect needed = anyEdge ? Grown(bandRect, reach, smallMask.size()) : cv::Rect();
    const cv::Rect worked = anyEdge ? Grown(needed, 2 * params.radius, smallMask.size()) : cv::Rect();
    const cv::Mat ab = anyEdge ? Coefficients(smallBgr, smallMask, worked, params) : cv::Mat();

    // Each reduced column's run of full-size columns, and for each full-size column the two
    // reduced columns it lies between.
    std::vector<int> runStart(static_cast<std::size_t>(w) + 1, W), x0(W);
    std::vector<float> wx(W);
    for (int x = W - 1; x >= 0; --x)
        runStart[static_cast<std::size_t>(std::min(w - 1, static_cast<int>(x * sx)))] = x;
    for (int c = w - 1; c >= 0; --c)
        runStart[c] = std::min(runStart[c], runStart[c + 1]); // a cell no column falls in is empty
    for (int x = 0; x < W; ++x) {
        const double fx = std::clamp((x + 0.5) * sx - 0.5, 0.0, w - 1.0);
        x0[x] = static_cast<int>(fx);
        wx[x] = static_cast<float>(fx - x0[x]);
    }
    // One row of coefficients interpolated between two reduced rows, and its steps to the next
    // reduced column.
    std::vector<cv::Vec4f> rowAB(static_cast<std::size_t>(w)), rowStep(static_cast<std::size_t>(w));
    for (int y = 0; y < H; ++y) {
        const int cy = std::min(h - 1, static_cast<int>(y * sy));
        const uchar* bandRow = band.ptr<uchar>(cy);
        const float* maskRow = smallMask.ptr<float>(cy);
        uchar* out = alpha.ptr<uchar>(y);
        const bool rowHasEdge = anyEdge && cy >= bandRect.y && cy < bandRect.y + bandRect.height;
        if (rowHasEdge) {
            const double fy = std::clamp((y + 0.5) * sy - 0.5, 0.0, h - 1.0);
            const int y0 = static_cast<int>(fy), y1 = std::min(h - 1, y0 + 1);
            const float wy = static_cast<float>(fy - y0);
            const cv::Vec4f* ab0 = ab.ptr<cv::Vec4f>(y0 - worked.y) - worked.x;
            const cv::Vec4f* ab1 = ab.ptr<cv::Vec4f>(y1 - worked.y) - worked.x;
            const int last = needed.x + needed.width - 1;
            for (int c = needed.x; c <= last; ++c)
                rowAB[c] = ab0[c] + (ab1[c] - ab0[c]) * wy;
            for (int c = needed.x; c < last; ++c)
                rowStep[c] = rowAB[c + 1] - rowAB[c];
            rowStep[last] = cv::Vec4f();
        }
        int c = 0;
        while (c < w) {
            if (!rowHasEdge || !bandRow[c]) {
                // A run of cells off the edge with the same side: one fill.
                const bool person = maskRow[c] >= 0.5f;
                int end = c + 1;
                while (end < w && !(rowHasEdge && bandRow[end]) && (maskRow[end] >= 0.5f) == person)
                    ++end;
                std::memset(out + runStart[c], person ? 255 : 0, static_cast<std::size_t>(runStart[end] - runStart[c]));
                c = end;
                continue;
            }
            const cv::Vec3b* in = bgr.ptr<cv::Vec3b>(y);
            for (int x = runStart[c]; x < runStart[c + 1]; ++x) {
                const cv::Vec4f& m = rowAB[x0[x]];
                const cv::Vec4f& d = rowStep[x0[x]];
                const float f = wx[x];
                const float q = (m[0] + f * d[0]) * in[x][0] + (m[1] + f * d[1]) * in[x][1] + (m[2] + f * d[2]) * in[x][2]
                    + (m[3] + f * d[3]);
                out[x] = static_cast<uchar>(std::clamp(q, 0.0f, 255.0f));
            }
            ++c;
        }
    }
}
