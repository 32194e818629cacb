#include "pipeline/capture/TestSceneFace.h"

#include <QImage>
#include <QString>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

cv::Mat LoadTestSceneFace(const std::string& path)
{
    const QImage image = QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    // Format_ARGB32 is B, G, R, A in memory on little-endian machines: OpenCV's BGRA.
    const cv::Mat view(image.height(), image.width(), CV_8UC4, const_cast<uchar*>(image.constBits()),
        static_cast<size_t>(image.bytesPerLine()));
    return view.clone();
}

cv::Rect MovingFacePlace(cv::Size frameSize, double seconds, cv::Size photoSize)
{
    if (frameSize.width <= 0 || frameSize.height <= 0 || photoSize.width <= 0 || photoSize.height <= 0)
        return {};
    // Slow breathing of the size, so stickers are seen to scale with the face.
    const double breathe = 1.0 + 0.12 * std::sin(seconds * 0.9);
    int height = std::max(1, cvRound(frameSize.height * 0.7 * breathe));
    int width = std::max(1, cvRound(static_cast<double>(height) * photoSize.width / photoSize.height));
    if (width > frameSize.width) {
        width = frameSize.width;
        height = std::max(1, cvRound(static_cast<double>(width) * photoSize.height / photoSize.width));
    }
    // A Lissajous path: wide from side to side, gentler up and down.
    const double freeX = (frameSize.width - width) / 2.0;
    const double freeY = (frameSize.height - height) / 2.0;
    const double cx = frameSize.width / 2.0 + freeX * 0.9 * std::sin(seconds * 0.5);
    const double cy = frameSize.height / 2.0 + freeY * 0.8 * std::sin(seconds * 0.8 + 0.6);
    return { cvRound(cx - width / 2.0), cvRound(cy - height / 2.0), width, height };
}

cv::Rect2d MovingFaceBox(cv::Size frameSize, double seconds, cv::Size photoSize)
{
    const cv::Rect place = MovingFacePlace(frameSize, seconds, photoSize);
    const double side = 0.4 * place.width;
    const double cx = place.x + 0.477 * place.width;
    const double cy = place.y + 0.412 * place.height;
    return { cx - side / 2, cy - side / 2, side, side };
}

void DrawMovingFace(cv::Mat& frame, double seconds, const cv::Mat& photo)
{
    if (frame.empty() || frame.type() != CV_8UC3 || photo.empty() || photo.type() != CV_8UC4)
        return;
    const cv::Rect place = MovingFacePlace(frame.size(), seconds, photo.size());
    const cv::Rect visible = place & cv::Rect(0, 0, frame.cols, frame.rows);
    if (visible.empty())
        return;
    cv::Mat scaled;
    cv::resize(photo, scaled, place.size(), 0, 0, cv::INTER_LINEAR);
    const cv::Mat source = scaled(visible - place.tl());
    cv::Mat target = frame(visible);
    for (int y = 0; y < visible.height; ++y) {
        const auto* s = source.ptr<cv::Vec4b>(y);
        auto* t = target.ptr<cv::Vec3b>(y);
        for (int x = 0; x < visible.width; ++x) {
            const int a = s[x][3];
            if (a == 0)
                continue;
            for (int c = 0; c < 3; ++c)
                t[x][c] = static_cast<uchar>((s[x][c] * a + t[x][c] * (255 - a) + 127) / 255);
        }
    }
}
