#include "pipeline/record/BgrPicture.h"

#include <opencv2/imgproc.hpp>

cv::Mat AsBgr(const cv::Mat& picture)
{
    cv::Mat bgr;
    if (picture.empty() || picture.type() == CV_8UC3)
        return picture;
    if (picture.type() == CV_8UC4)
        cv::cvtColor(picture, bgr, cv::COLOR_BGRA2BGR);
    else if (picture.type() == CV_8UC1)
        cv::cvtColor(picture, bgr, cv::COLOR_GRAY2BGR);
    return bgr;
}
