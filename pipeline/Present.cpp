#include "pipeline/Present.h"

#include <opencv2/imgproc.hpp>

QImage FrameToImage(const cv::Mat& bgrFrame)
{
    CV_Assert(bgrFrame.type() == CV_8UC3);
    QImage image(bgrFrame.cols, bgrFrame.rows, QImage::Format_RGB32);
    // Converting straight into the image's buffer is far cheaper than Qt's own BGR conversion.
    cv::Mat target(image.height(), image.width(), CV_8UC4, image.bits(), static_cast<size_t>(image.bytesPerLine()));
    cv::cvtColor(bgrFrame, target, cv::COLOR_BGR2BGRA);
    return image;
}

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
