#pragma once

#include "pipeline/FrameSource.h"
#include "settings/SettingsValues.h"

#include <QWidget>

class CWebcamCtl;

// The left pane: hosts the image area at the top left, applies the three display sizes and
// receives the frames and add-ons picked in the side pane.
class CParvelWebcamView : public QWidget {
    Q_OBJECT
public:
    CParvelWebcamView(const AppFolders& folders, const SettingsValues& values, FrameSourceFactory sources,
        QWidget* parent = nullptr);

    CWebcamCtl* webcam() const { return webcam_; }
    bool layoutDone() const { return layoutDone_; }
    int sizeMode() const { return sizeMode_; }
    // The strip reserved below the picture for the welcome movie.
    QRect movieRect() const { return movieRect_; }

    // 0 full, 1 three quarters, 2 half of the picture size.
    void SetDisplaySize(int mode);

public slots:
    void OnFramePicked(const QString& path, int kind);
    void OnAddOnPicked(const QString& path, int kind);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void FirstLayout();

    SettingsValues values_;
    CWebcamCtl* webcam_ = nullptr;
    bool layoutDone_ = false;
    int sizeMode_ = 0;
    QRect movieRect_;
};
