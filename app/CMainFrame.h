#pragma once

#include "pipeline/FrameSource.h"
#include "settings/SettingsValues.h"

#include <QMainWindow>

class CWebcamCtl;
class QLabel;

// The main window: hosts the image area and the status bar.
class CMainFrame : public QMainWindow {
    Q_OBJECT
public:
    CMainFrame(const AppFolders& folders, const SettingsValues& values, FrameSourceFactory sources,
        QWidget* parent = nullptr);

    CWebcamCtl* webcam() const { return webcam_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    CWebcamCtl* webcam_ = nullptr;
    QLabel* statusText_ = nullptr;
};
