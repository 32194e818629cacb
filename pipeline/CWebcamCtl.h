#pragma once

#include "pipeline/Decorations.h"
#include "pipeline/Doodle.h"
#include "pipeline/FrameSource.h"
#include "pipeline/GrainRandom.h"
#include "pipeline/OpticalFlow.h"
#include "pipeline/PhotoCapture.h"
#include "pipeline/PictureSettings.h"
#include "pipeline/Present.h"

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
class QRubberBand;

// The image area: owns the camera, runs the frame loop on a worker thread, holds the picture
// settings that the ribbon changes, and shows the processed picture. Before the camera starts
// (and whenever it is stopped) it plays the welcome animation.
class CWebcamCtl : public QWidget {
    Q_OBJECT
public:
    CWebcamCtl(const QString& systemDir, const QString& photoDir, FrameSourceFactory sourceFactory,
        QWidget* parent = nullptr);
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

    std::atomic<bool> loopPaused { false };

    // The mode fields the ribbon changes; the worker copies them once per frame.
    PictureSettingsStore settings;
    FlowState flow;
    DoodleLayer doodle;
    // Logo, big frame and add-ons; every change takes the lock the worker draws under.
    Decorations& decorations() { return decorations_; }
    PhotoCapture& photos() { return photos_; }
    // Ends the camera and releases every decoration (window destruction).
    void ReleaseAll();

    // A region selection is being dragged.
    bool selecting() const { return rubberBand_ != nullptr && selecting_; }

    ImageEx* welcomeImage() const { return welcomeImage_.get(); }
    bool welcomeStarted() const { return welcomeStarted_; }
    // The last picture handed to the screen, at display size.
    QImage shownImage() const { return shownImage_; }
    // Number of worker threads started so far (only one ever runs at a time).
    int workersStarted() const { return workersStarted_; }
    bool workerAlive() const;

signals:
    // Emitted on the interface thread for every picture shown.
    void framePresented();
    // A photo was saved (path) or could not be saved (message, in Chinese, for the status bar).
    void photoSaved(const QString& path);
    void photoFailed(const QString& message);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void FrameLoop(std::unique_ptr<FrameSource> source);
    void TakeIntoWorkFrame(const cv::Mat& raw, const PictureSettings& snapshot);
    void ProcessFrame(cv::Mat& frame, const PictureSettings& snapshot);
    void PresentFrame(const cv::Mat& frame);
    void ShowOnInterfaceThread(QImage image);
    void BeginRegionSelection(QPoint client);
    void EndRegionSelection(QPoint client);

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
    QImage picture_; // worker: the composed picture at picture resolution
    DisplayBuffers displayBuffers_;
    Decorations decorations_;
    PhotoCapture photos_;
    GrainRandom grainRandom_; // worker only

    QRubberBand* rubberBand_ = nullptr;
    bool selecting_ = false;
    QPoint selectionStart_;

    // Latest finished picture waiting for the interface thread.
    std::mutex shownMutex_;
    QImage pendingImage_;
    bool presentPosted_ = false;
    QImage shownImage_;
};
