#pragma once

#include "pipeline/PictureSession.h"
#include "pipeline/capture/FrameSource.h"
#include "pipeline/compose/ScreenMarks.h"

#include <QImage>
#include <QWidget>

#include <memory>

class ImageEx;
class QRubberBand;
class QTimer;

// The image area: paints the pictures of its picture session with what goes over them on the
// screen only (the countdown, the flash, the recording's red dot, the face boxes), routes the
// mouse to the picture model (add-on drags, doodle strokes, click photos, flow points, the
// region's rubber band), and plays the welcome animation while the camera is stopped.
class CWebcamCtl : public QWidget {
    Q_OBJECT
public:
    CWebcamCtl(const QString& systemDir, const QString& photoDir, FrameSourceFactory sourceFactory,
        QWidget* parent = nullptr);
    ~CWebcamCtl() override;

    PictureSession& session() { return session_; }
    const PictureSession& session() const { return session_; }
    PictureModel& model() { return session_.model(); }
    const PictureModel& model() const { return session_.model(); }
    bool cameraRunning() const { return session_.running(); }

    // Picture size (camera pixels) and display size (screen pixels); set by the workspace view.
    void SetPictureSize(int width, int height) { session_.SetPictureSize(width, height); }
    void SetDisplaySize(int width, int height);
    int pictureWidth() const { return session_.loop().pictureWidth(); }
    int pictureHeight() const { return session_.loop().pictureHeight(); }
    int displayWidth() const { return session_.loop().displayWidth(); }
    int displayHeight() const { return session_.loop().displayHeight(); }
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

    ImageEx* welcomeImage() const { return welcomeImage_.get(); }
    bool welcomeStarted() const { return welcomeStarted_; }
    // The last picture handed to the screen, at display size.
    QImage shownImage() const { return session_.shownImage(); }
    // The delayed photo's remaining seconds drawn large over the picture, and a short fading
    // white flash when a photo is taken: on the screen only, never in the photo.
    void ShowCountdown(int seconds); // 0 or less hides it
    // The room learning's countdown, under "请离开画面" (0 or less hides it).
    void ShowLearningCountdown(int seconds);
    int learningCountdownShown() const { return learningShown_; }
    void Flash();
    int countdownShown() const { return countdownShown_; } // 0 while none is shown
    bool flashing() const { return flash_.active(); }
    // Where the preview grid's page buttons are (client pixels); empty while the grid is not
    // shown or has one page.
    PagerLayout pagerLayout() const;

signals:
    // A double-click on the picture: the camera's switch, run as its command.
    void cameraToggleRequested();
    // A click on a tile of the preview grid: that fun effect (a FunEffect; none for the middle
    // tile), run as its command.
    void funEffectPicked(int effect);
    // A click on the preview grid's back (-1) or next (1) button: that page, run as its command.
    void funPreviewPageRequested(int step);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void OnCameraSwitched(bool running);
    void BeginRegionSelection(QPoint client);
    void EndRegionSelection(QPoint client);
    bool previewShown() const { return cameraRunning() && session_.funPreviewShown(); }
    int wheelTurn_ = 0; // eighths of a degree not yet a page
    // The preview grid's page buttons under the pointer and under a held button.
    bool PagerPress(QPoint client);
    PagerPart pagerHovered_ = PagerPart::None;
    PagerPart pagerPressed_ = PagerPart::None;
    void SetPagerHovered(PagerPart part);

    std::unique_ptr<ImageEx> welcomeImage_;
    bool welcomeStarted_ = false;
    PictureSession session_;
    ScreenFlash flash_;

    float scaleX_ = 1.0f;
    float scaleY_ = 1.0f;

    // A click in photo mode waits out the double-click time, so that a double-click (which
    // switches the camera) takes no photo.
    QTimer* photoClick_ = nullptr;

    int countdownShown_ = 0;
    int learningShown_ = 0;
    CountdownPainter countdownPainter_;

    QRubberBand* rubberBand_ = nullptr;
    bool selecting_ = false;
    QPoint selectionStart_;
};
