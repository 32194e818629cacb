#include "pipeline/Present.h"

#include <opencv2/imgproc.hpp>

QImage StretchNearest(const QImage& image, QSize displaySize)
{
    if (image.isNull() || displaySize.isEmpty() || image.size() == displaySize)
        return image;
    QImage scaled(displaySize, image.format());
    const cv::Mat source(image.height(), image.width(), CV_8UC4, const_cast<uchar*>(image.constBits()),
        static_cast<size_t>(image.bytesPerLine()));
    cv::Mat target(scaled.height(), scaled.width(), CV_8UC4, scaled.bits(), static_cast<size_t>(scaled.bytesPerLine()));
    cv::resize(source, target, target.size(), 0, 0, cv::INTER_NEAREST);
    return scaled;
}
