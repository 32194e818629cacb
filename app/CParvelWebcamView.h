#pragma once

#include "app/DisplaySize.h"
#include "pipeline/capture/FrameSource.h"
#include "app/AppFolders.h"
#include "settings/SettingsValues.h"

#include <QWidget>

class CWebcamCtl;
class PictureSession;
class CWelcomeMovie;

// The left pane: hosts the image area at the top left and applies the display sizes. On a first
// run it measures the camera first.
class CParvelWebcamView : public QWidget {
    Q_OBJECT
public:
    CParvelWebcamView(const AppFolders& folders, const SettingsValues& values, FrameSourceFactory sources,
        QWidget* parent = nullptr);

    CWebcamCtl* webcam() const { return webcam_; }
    CWelcomeMovie* movie() const { return movie_; }
    bool layoutDone() const { return layoutDone_; }
    DisplaySize sizeMode() const { return sizeMode_; }
    // The strip below the picture for the welcome movie: where the first layout reserved it, or
    // along the view's bottom edge while the picture fits the window.
    QRect movieRect() const;

    // Shows the picture at full, three-quarter or half size, or fitted to the view; the picture
    // itself keeps its size.
    void SetDisplaySize(DisplaySize mode);
    // The view width at which the fitted picture fills the view's height.
    int WidthToFillHeight() const;
    // The width the picture is shown at in its display size (the fitted one: WidthToFillHeight).
    int WidthNeeded() const;
    // The picture alone, as large as the view allows and centred on black, without the welcome
    // strip (full screen); off: back to the display size it had.
    void SetPictureAlone(bool alone);
    bool pictureAlone() const { return alone_; }

    PictureSession& session() const;

    // The camera gives pictures of another size than configured: they are shown at their own
    // size, which the workbook keeps from now on.
    void AdoptPictureSize(QSize size);
    QSize pictureSize() const { return { values_.imageWidth, values_.imageHeight }; }

signals:
    void sizeModeChanged(DisplaySize mode);
    void pictureSizeChanged(QSize size);
    // The right button on the view: the window shows its menu of command rows.
    void menuRequested(const QPoint& globalPos);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void FirstLayout();
    void RunCameraProbe();
    void ApplyDisplaySize();
    void ReserveMovieStrip();
    void FitIfLargerThanScreen();
    QRect ShownRect() const; // where the picture goes in the view

    AppFolders folders_;
    SettingsValues values_;
    FrameSourceFactory sources_; // the probe opens the same camera as the image area
    CWebcamCtl* webcam_ = nullptr;
    CWelcomeMovie* movie_ = nullptr;
    bool layoutDone_ = false;
    bool probeDone_ = false;
    DisplaySize sizeMode_ = kDisplayFull;
    bool alone_ = false;
    QRect reservedMovieRect_;

};
