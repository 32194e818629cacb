#include "app/CMainFrame.h"

#include "app/AppInfo.h"
#include "pipeline/CWebcamCtl.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <QVBoxLayout>

CMainFrame::CMainFrame(const AppFolders& folders, const SettingsValues& values, FrameSourceFactory sources,
    QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(QString::fromUtf8(AppInfo::kCaption));
    auto* area = new QWidget(this);
    area->setStyleSheet("background: black;");
    webcam_ = new CWebcamCtl(QString::fromStdString(folders.systemDir.string()), std::move(sources), area);
    webcam_->SetPictureSize(values.imageWidth, values.imageHeight);
    webcam_->SetDisplaySize(values.imageWidth, values.imageHeight);
    webcam_->move(0, 0);
    webcam_->setToolTip(tr("双击画面可打开或关闭摄像头"));
    area->setMinimumSize(values.imageWidth, values.imageHeight);
    setCentralWidget(area);
    statusText_ = new QLabel(tr("就绪"), this);
    statusBar()->addWidget(statusText_, 1);
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (CWebcamCtl::CameraRunningAnywhere()) {
        QMessageBox::information(this, tr("乐影屋：摄像头未关闭！"), tr("请先关闭摄像头"));
        event->ignore();
        return;
    }
    event->accept();
}
