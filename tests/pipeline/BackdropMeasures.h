#pragma once

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

// How well an alpha (255 = person) matches a true coverage (128 and more = person).

inline double PersonIoU(const cv::Mat& alpha, const cv::Mat& truth)
{
    const cv::Mat a = alpha >= 128, t = truth >= 128;
    const double both = cv::countNonZero(a & t), either = cv::countNonZero(a | t);
    return either == 0 ? 1.0 : both / either;
}

// Mean distance, in pixels, between the outlines of the two halves (each outline's pixels
// measured to the other's, both ways averaged).
inline double OutlineDistance(const cv::Mat& alpha, const cv::Mat& truth)
{
    auto outline = [](const cv::Mat& m) {
        const cv::Mat inside = m >= 128;
        cv::Mat eroded;
        cv::erode(inside, eroded, cv::Mat(), cv::Point(-1, -1), 1, cv::BORDER_REPLICATE);
        return cv::Mat(inside & ~eroded);
    };
    auto oneWay = [](const cv::Mat& from, const cv::Mat& to) {
        cv::Mat distance;
        cv::distanceTransform(~to, distance, cv::DIST_L2, cv::DIST_MASK_PRECISE);
        return cv::mean(distance, from)[0];
    };
    const cv::Mat a = outline(alpha), t = outline(truth);
    if (cv::countNonZero(a) == 0 || cv::countNonZero(t) == 0)
        return 1e9;
    return (oneWay(a, t) + oneWay(t, a)) / 2;
}

// The share of pixels that changed side between two frames although the truth did not.
inline double SideChanges(const cv::Mat& alpha, const cv::Mat& previousAlpha, const cv::Mat& truth, const cv::Mat& previousTruth)
{
    const cv::Mat changed = (alpha >= 128) != (previousAlpha >= 128);
    const cv::Mat truthChanged = (truth >= 128) != (previousTruth >= 128);
    return cv::countNonZero(changed & ~truthChanged) / static_cast<double>(alpha.total());
}
