#include "pipeline/capture/TestSceneSource.h"

#include "pipeline/capture/TestSceneFace.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <opencv2/imgproc.hpp>

#include <chrono>
#include <cmath>

bool TestSceneSource::Open()
{
    open_ = true;
    frameNumber_ = 0;
    face_ = LoadTestSceneFace(FacePhotoPath());
    next_ = std::chrono::steady_clock::now();
    return true;
}

// The face photograph ships in the system folder beside the program, or in the installed data
// folder; without it the scene has no face.
std::string TestSceneSource::FacePhotoPath()
{
    const QDir program(QCoreApplication::applicationDirPath());
    for (const QString& folder : { QStringLiteral("system"), QStringLiteral("../share/parvelwebcam") }) {
        const QString path = program.filePath(folder + QLatin1Char('/') + QLatin1String(kTestSceneFaceFile));
        if (QFileInfo::exists(path))
            return path.toStdString();
    }
    return {};
}

bool TestSceneSource::Read(cv::Mat& frame)
{
    if (!open_)
        return false;
    if (paced_)
        WaitForNextSceneFrame(next_); // a camera waits for its next frame; so does the scene
    frame = Render(frameNumber_, size_);
    if (!face_.empty())
        DrawMovingFace(frame, frameNumber_ / 30.0, face_);
    ++frameNumber_;
    return true;
}

cv::Mat TestSceneSource::Render(int n, cv::Size size)
{
    if (size != cv::Size(kWidth, kHeight)) {
        cv::Mat scaled;
        cv::resize(Render(n), scaled, size, 0, 0, cv::INTER_LINEAR);
        return scaled;
    }
    cv::Mat img(kHeight, kWidth, CV_8UC3);
    const double t = n / 30.0;
    // Soft diagonal colour bands that slide slowly.
    for (int y = 0; y < kHeight; ++y) {
        auto* row = img.ptr<cv::Vec3b>(y);
        for (int x = 0; x < kWidth; ++x) {
            const int u = x + y + n * 2;
            row[x] = cv::Vec3b(static_cast<uchar>(60 + (u & 63)), static_cast<uchar>(90 + ((x / 4 + n) & 63)),
                static_cast<uchar>(120 + ((y / 4) & 63)));
        }
    }
    // A checkerboard panel gives the tracker many corners.
    const int boardX = 40 + static_cast<int>(30 * std::sin(t * 0.8));
    for (int r = 0; r < 6; ++r)
        for (int c = 0; c < 8; ++c)
            if ((r + c) % 2 == 0)
                cv::rectangle(img, cv::Rect(boardX + c * 20, 300 + r * 20, 20, 20), cv::Scalar(20, 20, 20), cv::FILLED);
    // Drifting blocks and a circling ball.
    const int bx = static_cast<int>(320 + 200 * std::sin(t));
    const int by = static_cast<int>(160 + 80 * std::cos(t * 1.3));
    cv::rectangle(img, cv::Rect(bx - 40, by - 30, 80, 60), cv::Scalar(30, 200, 250), cv::FILLED);
    cv::rectangle(img, cv::Rect(bx - 20, by - 15, 40, 30), cv::Scalar(200, 60, 30), cv::FILLED);
    const cv::Point ball(static_cast<int>(480 + 100 * std::cos(t * 2)), static_cast<int>(360 + 60 * std::sin(t * 2)));
    cv::circle(img, ball, 35, cv::Scalar(60, 40, 220), cv::FILLED, cv::LINE_8);
    cv::putText(img, "Parvel test scene", cv::Point(20, 40), cv::FONT_HERSHEY_SIMPLEX, 1.0, cv::Scalar(255, 255, 255), 2);
    return img;
}
