#pragma once

#include "pipeline/FrameSource.h"
#include "settings/SettingsValues.h"

#include <QWidget>

class CWebcamCtl;
class CWelcomeMovie;

// How large the picture is shown, as a share of the picture size.
enum DisplaySize : int {
    kDisplayFull = 0,
    kDisplayThreeQuarters = 1,
    kDisplayHalf = 2,
    // Not a share: as large as the view allows with the proportions kept, following its size.
    kDisplayFit = 3,
};

// The left pane: hosts the image area at the top left, applies the display sizes and receives
// the frames and add-ons picked in the side pane. On a first run it measures the camera first.
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

signals:
    void sizeModeChanged(DisplaySize mode);

public slots:
    void OnFramePicked(const QString& path, int kind);
    void OnAddOnPicked(const QString& path, int kind);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void FirstLayout();
    void RunCameraProbe();
    void ApplyDisplaySize();

    AppFolders folders_;
    SettingsValues values_;
    FrameSourceFactory sources_; // the probe opens the same camera as the image area
    CWebcamCtl* webcam_ = nullptr;
    CWelcomeMovie* movie_ = nullptr;
    bool layoutDone_ = false;
    bool probeDone_ = false;
    DisplaySize sizeMode_ = kDisplayFull;
    QRect reservedMovieRect_;
};
