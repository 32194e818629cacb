#include "decorations/VideoThumbnail.h"

#include "ui/FileNameBytes.h"
#include "decorations/ImageFileReader.h"

#include <QPainter>
#include <QPolygonF>

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>

namespace {

bool OpenVideo(cv::VideoCapture& capture, const QString& path)
{
    // Through FFmpeg only: other back ends may wait on devices or pipelines for a plain file.
    return capture.open(FileNameToBytes(path).toStdString(), cv::CAP_FFMPEG) && capture.isOpened();
}

} // namespace

QSize ReadVideoFrameSize(const QString& path)
{
    cv::VideoCapture capture;
    if (!OpenVideo(capture, path))
        return {};
    const int width = static_cast<int>(capture.get(cv::CAP_PROP_FRAME_WIDTH));
    const int height = static_cast<int>(capture.get(cv::CAP_PROP_FRAME_HEIGHT));
    if (width <= 0 || height <= 0)
        return {};
    return {width, height};
}

QImage ReadFirstVideoFrame(const QString& path)
{
    cv::VideoCapture capture;
    if (!OpenVideo(capture, path))
        return {};
    const QSize size(static_cast<int>(capture.get(cv::CAP_PROP_FRAME_WIDTH)),
                     static_cast<int>(capture.get(cv::CAP_PROP_FRAME_HEIGHT)));
    if (!WithinDecodeBudget(size))
        return {};
    cv::Mat frame;
    if (!capture.read(frame) || frame.empty() || frame.type() != CV_8UC3)
        return {};
    QImage image(frame.cols, frame.rows, QImage::Format_RGB32);
    cv::Mat target(image.height(), image.width(), CV_8UC4, image.bits(), static_cast<size_t>(image.bytesPerLine()));
    cv::cvtColor(frame, target, cv::COLOR_BGR2BGRA);
    return image;
}

void DrawFilmBadge(QImage& thumbnail)
{
    if (thumbnail.isNull())
        return;
    QPainter painter(&thumbnail);
    painter.setRenderHint(QPainter::Antialiasing);
    const int w = thumbnail.width();
    const int h = thumbnail.height();
    const int band = std::max(h / 10, 4);
    painter.fillRect(0, 0, w, band, QColor(20, 20, 20, 220));
    painter.fillRect(0, h - band, w, band, QColor(20, 20, 20, 220));
    // The perforations.
    const int hole = std::max(band / 2, 2);
    for (int x = hole; x + hole <= w; x += hole * 2) {
        painter.fillRect(x, (band - hole) / 2, hole, hole, QColor(235, 235, 235));
        painter.fillRect(x, h - band + (band - hole) / 2, hole, hole, QColor(235, 235, 235));
    }
    // The play triangle on a dark disc.
    const double r = std::max(std::min(w, h) / 6.0, 4.0);
    const QPointF centre(w / 2.0, h / 2.0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 140));
    painter.drawEllipse(centre, r, r);
    painter.setBrush(QColor(255, 255, 255, 230));
    painter.drawPolygon(QPolygonF({ centre + QPointF(-r * 0.35, -r * 0.55), centre + QPointF(-r * 0.35, r * 0.55),
        centre + QPointF(r * 0.6, 0) }));
}
