#include "pipeline/Overlays.h"

#include "decorations/AddOnCollection.h"
#include "pipeline/FrameOverlay.h"

#include <QPainter>

#include <opencv2/imgproc.hpp>

void DrawOverlays(QImage& picture, const OverlayLayers& layers)
{
    if (picture.isNull())
        return;
    QPainter painter(&picture);
    const int w = picture.width();
    const int h = picture.height();
    if (layers.logo != nullptr && !layers.logo->isNull())
        painter.drawImage(w - layers.logo->width(), h - layers.logo->height(), *layers.logo);
    if (layers.frame != nullptr)
        layers.frame->Draw(painter, picture.size());
    if (layers.addOns != nullptr)
        layers.addOns->Draw(painter);
}

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
