#include "pipeline/compose/DisplayConversion.h"

#include <opencv2/imgproc.hpp>

void FillPictureFromFrame(const cv::Mat& bgrFrame, QImage& picture)
{
    CV_Assert(bgrFrame.type() == CV_8UC3);
    // A picture still shared with its last receiver is replaced rather than detached: detaching
    // would copy pixels that are overwritten at once.
    if (picture.width() != bgrFrame.cols || picture.height() != bgrFrame.rows
        || picture.format() != QImage::Format_ARGB32_Premultiplied || !picture.isDetached()) {
        picture = QImage(bgrFrame.cols, bgrFrame.rows, QImage::Format_ARGB32_Premultiplied);
    }
    cv::Mat target(picture.height(), picture.width(), CV_8UC4, picture.bits(),
                   static_cast<size_t>(picture.bytesPerLine()));
    // BGRA in memory is Qt's 0xAARRGGBB on little-endian machines; the alpha comes out 255.
    cv::cvtColor(bgrFrame, target, cv::COLOR_BGR2BGRA);
}
