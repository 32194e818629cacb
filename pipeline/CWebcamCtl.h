#pragma once

#include "pipeline/FrameSource.h"

#include <QImage>
#include <QWidget>
#include <opencv2/core.hpp>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class ImageEx;

// The image area: owns the camera, runs the frame loop on a worker thread, holds the picture
// settings that the ribbon changes, and shows the processed picture. Before the camera starts
// (and whenever it is stopped) it plays the welcome animation.
class CWebcamCtl : public QWidget {
    Q_OBJECT
public:
    // Mouse modes: what the left button does on the picture.
    enum MouseMode : int { DragAddOns = 0, Doodle = 1, TakePhoto = 2, SelectRegion = 3, Nothing = 4 };

    CWebcamCtl(const QString& systemDir, FrameSourceFactory sourceFactory, QWidget* parent = nullptr);
    ~CWebcamCtl() override;

    bool StartCamera();
    bool StopCamera();

    // Picture size (camera pixels) and display size (screen pixels); set by the workspace view.
    void SetPictureSize(int width, int height);
    void SetDisplaySize(int width, int height);
    int pictureWidth() const { return pictureWidth_; }
    int pictureHeight() const { return pictureHeight_; }
    int displayWidth() const { return displayWidth_; }
    int displayHeight() const { return displayHeight_; }
    float scaleX() const { return scaleX_; }
    float scaleY() const { return scaleY_; }
    // Picture position of a point in client pixels.
    QPoint PicturePoint(QPoint client) const;

    bool cameraRunning() const { return cameraRunning_; }
    // True while any image area runs its camera (the main window refuses to close then).
    static bool CameraRunningAnywhere() { return runningCount_.load() > 0; }

    std::atomic<int> mouseMode { DragAddOns };
    std::atomic<bool> loopPaused { false };

    ImageEx* welcomeImage() const { return welcomeImage_.get(); }
    bool welcomeStarted() const { return welcomeStarted_; }
    // The last picture handed to the screen, at display size.
    QImage shownImage() const { return shownImage_; }
    // Number of worker threads started so far (only one ever runs at a time).
    int workersStarted() const { return workersStarted_; }
    bool workerAlive() const;

    // Called instead of a modal box when no camera could be opened (the program shows its message).
    std::function<void()> onNoCamera;

signals:
    // Emitted on the interface thread for every picture shown.
    void framePresented();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void FrameLoop(std::unique_ptr<FrameSource> source);
    void TakeIntoWorkFrame(const cv::Mat& raw);
    void ProcessFrame(cv::Mat& frame);
    void PresentFrame(const cv::Mat& frame);
    void ShowOnInterfaceThread(QImage image);

    FrameSourceFactory sourceFactory_;
    std::unique_ptr<ImageEx> welcomeImage_;
    bool welcomeStarted_ = false;

    std::atomic<int> pictureWidth_ { -1 };
    std::atomic<int> pictureHeight_ { -1 };
    std::atomic<int> displayWidth_ { -1 };
    std::atomic<int> displayHeight_ { -1 };
    std::atomic<float> scaleX_ { 1.0f };
    std::atomic<float> scaleY_ { 1.0f };

    // Run state shared with the worker. The worker checks cameraRunning_ once per pass under
    // runMutex_; a start that finds the previous worker still alive hands the run back to it
    // instead of starting a second one.
    mutable std::mutex runMutex_;
    std::condition_variable runChanged_;
    std::atomic<bool> cameraRunning_ { false };
    bool workerAlive_ = false;
    std::thread frameThread_;
    int workersStarted_ = 0;
    static std::atomic<int> runningCount_;

    // Guards what the worker draws and the interface thread replaces.
    std::mutex drawLock_;
    cv::Mat workFrame_;

    // Latest finished picture waiting for the interface thread.
    std::mutex shownMutex_;
    QImage pendingImage_;
    bool presentPosted_ = false;
    QImage shownImage_;
};
