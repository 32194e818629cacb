#pragma once

#include "pipeline/FrameLoop.h"
#include "pipeline/capture/FrameSource.h"
#include "pipeline/PictureModel.h"

#include <QFont>
#include <QImage>
#include <QWidget>

#include <chrono>
#include <memory>
#include <mutex>

class ImageEx;
class QPainter;
class QRubberBand;
class QTimer;
class QVariantAnimation;

// The image area: shows the pictures the frame loop hands out, routes the mouse to the picture
// model (add-on drags, doodle strokes, click photos, flow points, the region's rubber band), and
// plays the welcome animation while the camera is stopped. It owns the model and the loop.
class CWebcamCtl : public QWidget {
    Q_OBJECT
public:
    CWebcamCtl(const QString& systemDir, const QString& photoDir, FrameSourceFactory sourceFactory,
        QWidget* parent = nullptr);
    ~CWebcamCtl() override;

    PictureModel& model() { return model_; }
    const PictureModel& model() const { return model_; }
    FrameLoop& loop() { return loop_; }
    const FrameLoop& loop() const { return loop_; }

    // A start without a camera tells the user and leaves the camera stopped.
    bool StartCamera();
    bool StopCamera();
    bool cameraRunning() const { return loop_.running(); }
    // True while any image area runs its camera (the main window refuses to close then).
    static bool CameraRunningAnywhere() { return FrameLoop::RunningAnywhere(); }

    // Picture size (camera pixels) and display size (screen pixels); set by the workspace view.
    void SetPictureSize(int width, int height);
    void SetDisplaySize(int width, int height);
    int pictureWidth() const { return loop_.pictureWidth(); }
    int pictureHeight() const { return loop_.pictureHeight(); }
    int displayWidth() const { return loop_.displayWidth(); }
    int displayHeight() const { return loop_.displayHeight(); }
    float scaleX() const { return scaleX_; }
    float scaleY() const { return scaleY_; }
    // Picture position of a point in client pixels.
    QPoint PicturePoint(QPoint client) const;

    // Ends the camera and releases every decoration (window destruction).
    void ReleaseAll();

    // A region selection is being dragged.
    bool selecting() const { return rubberBand_ != nullptr && selecting_; }
    // Ends a region selection being dragged or armed without choosing a region; false when none
    // was.
    bool CancelSelection();
    // A photo of the next picture with the flash; false while the camera is stopped.
    bool TakePhotoNow();

    ImageEx* welcomeImage() const { return welcomeImage_.get(); }
    bool welcomeStarted() const { return welcomeStarted_; }
    // The last picture handed to the screen, at display size.
    QImage shownImage() const { return shownImage_; }

    // Interface thread. The delayed photo's remaining seconds, drawn large over the picture, and
    // a short fading white flash when the photo is taken, so that whoever is in front of the
    // camera sees it coming. Both are on the screen only, never in the photo.
    void ShowCountdown(int seconds); // 0 or less hides it
    void HideCountdown() { ShowCountdown(0); }
    void Flash();
    int countdownShown() const { return countdownShown_; } // 0 while none is shown
    bool flashing() const { return flashOpacity_ > 0.0; }

    // Recording the composed pictures into a video in the photo folder, while the camera runs.
    // The start's message (the codec, or why not) is returned; the outcome comes as a signal.
    RecordingStart StartRecording();
    void StopRecording();
    bool recording() const { return model_.video.recording(); }
    // The boxes of the tracked faces drawn over the picture, on the screen only, while stickers
    // follow faces.
    void SetFaceBoxesShown(bool shown);
    bool faceBoxesShown() const { return faceBoxesShown_; }
    // The start's message and the time recorded so far, for the status bar.
    QString RecordingStatusText() const;
    // "mm:ss", or "h:mm:ss" from an hour on.
    static QString ElapsedText(std::chrono::steady_clock::duration elapsed);

    // An animated GIF of the next gifSeconds(); false, with the reason in message, when none
    // starts.
    bool StartGif(QString& message);
    int gifSeconds() const { return gifSeconds_; }
    void SetGifSeconds(int seconds) { gifSeconds_ = seconds; }

signals:
    // Emitted on the interface thread for every picture shown.
    void framePresented();
    // The camera started or stopped, whichever way (command, double-click, camera lost).
    void cameraSwitched(bool running);
    // A start found no camera; the camera stays stopped.
    void cameraMissing();
    // The camera stopped delivering pictures and was stopped (after cameraSwitched(false)).
    void cameraLost();
    // A photo was saved (path) or could not be saved (message, in Chinese, for the status bar).
    void photoSaved(const QString& path);
    void photoFailed(const QString& message);
    // A video or a GIF was saved; a recording failed (message for the status bar).
    // droppedPictures: pictures the writer could not keep up with, left out of the file.
    void videoSaved(const QString& path, quint64 droppedPictures);
    void gifSaved(const QString& path);
    void recordingFailed(const QString& message);
    // The picture of an armed photo (a burst's shot), on the interface thread.
    void shotTaken(int shot, const QImage& picture);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Worker thread: keeps only the newest picture and posts one queued call to show it.
    void ShowOnInterfaceThread(QImage image);
    // Interface thread: the worker found the source gone.
    void OnSourceLost();
    void BeginRegionSelection(QPoint client);
    void EndRegionSelection(QPoint client);
    void PaintCountdown(QPainter& painter);
    void PaintRecordingBadge(QPainter& painter);
    void PaintFaceBoxes(QPainter& painter);

    std::unique_ptr<ImageEx> welcomeImage_;
    bool welcomeStarted_ = false;
    PictureModel model_;
    FrameLoop loop_; // after the model: it works on the model until it is joined

    float scaleX_ = 1.0f;
    float scaleY_ = 1.0f;

    // A click in photo mode waits out the double-click time, so that a double-click (which
    // switches the camera) takes no photo.
    QTimer* photoClick_ = nullptr;

    int countdownShown_ = 0;
    bool faceBoxesShown_ = false;
    QFont countdownFont_; // sized for the widget size and digit count below
    QSize countdownFontArea_;
    qsizetype countdownFontDigits_ = 0;
    QVariantAnimation* flash_ = nullptr;
    qreal flashOpacity_ = 0.0;

    QString recordingMessage_;
    int gifSeconds_ = 3;

    QRubberBand* rubberBand_ = nullptr;
    bool selecting_ = false;
    QPoint selectionStart_;

    // Latest finished picture waiting for the interface thread.
    std::mutex shownMutex_;
    QImage pendingImage_;
    bool presentPosted_ = false;
    QImage shownImage_;
};
