#include "app/CMainFrame.h"

#include "app/AppInfo.h"
#include "app/CChildFrame.h"
#include "app/CParvelWebcamView.h"
#include "app/PictureMenus.h"
#include "decorations/CFrameView.h"
#include "decorations/MessageBoxes.h"
#include "pipeline/CWebcamCtl.h"
#include "pipeline/DecorationCommands.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>

namespace {
// Room for the side pane beside the picture when the window first opens.
constexpr int kPaneWidth = 320;
}

CMainFrame::CMainFrame(const AppFolders& folders, const SettingsValues& values, FrameSourceFactory sources,
    QWidget* parent)
    : QMainWindow(parent)
{
    setWindowTitle(tr("Parvel 乐影屋 - 常言道"));
    const QSize client(values.imageWidth + kPaneWidth, values.imageHeight + 60);
    child_ = new CChildFrame(folders, values, std::move(sources), client, this);
    setCentralWidget(child_);
    statusText_ = new QLabel(tr("(*^__^*) 嘻嘻…… 欢迎来到 Parvel 乐影屋~   希望玩的愉快！"), this);
    statusBar()->addWidget(statusText_, 1);
    BuildToolBar();

    CWebcamCtl* webcam = child_->view()->webcam();
    connect(webcam, &CWebcamCtl::photoFailed, this, &CMainFrame::SetStatusText);
    connect(webcam, &CWebcamCtl::photoSaved, this,
        [this](const QString& path) { SetStatusText(tr("照片已保存：%1").arg(path)); });
    resize(client.width(), client.height() + 120);
}

void CMainFrame::SetStatusText(const QString& text)
{
    statusText_->setText(text);
}

QString CMainFrame::statusText() const
{
    return statusText_->text();
}

void CMainFrame::BuildToolBar()
{
    CWebcamCtl* webcam = child_->view()->webcam();
    Decorations& decorations = webcam->decorations();
    auto* bar = addToolBar(tr("常用"));
    bar->setMovable(false);

    QAction* camera = bar->addAction(QString(), this, [this, webcam] {
        if (webcam->cameraRunning())
            webcam->StopCamera();
        else
            webcam->StartCamera();
        SetStatusText(webcam->cameraRunning() ? tr("摄像头已经打开,可进行其他操作") : tr("摄像头已经关闭"));
    });
    camera->setToolTip(tr("打开或关闭摄像机（双击画面也可以）"));

    QAction* photoClick = bar->addAction(QString(), this, [this, webcam] {
        const auto result = webcam->settings.Change([](PictureSettings& s) {
            const auto r = DecorationCommands::PhotoClick(s.mouseMode);
            s.mouseMode = r.mouseMode;
            return r;
        });
        SetStatusText(result.status);
    });
    QAction* drag = bar->addAction(tr("拖动挂件"), this, [webcam] {
        webcam->settings.Change([](PictureSettings& s) { s.mouseMode = DecorationCommands::DragAddOnMode(s.mouseMode); });
    });
    bar->addSeparator();
    QAction* logo = bar->addAction(QString(), this, [&decorations] { decorations.ToggleLogoShown(); });
    QAction* frame = bar->addAction(QString(), this, [&decorations] { decorations.ToggleFrameShown(); });
    QAction* addOns = bar->addAction(QString(), this, [&decorations] { decorations.ToggleAddOnsShown(); });
    bar->addAction(tr("全部清除"), this, [&decorations] { decorations.ClearAddOns(); });
    for (QAction* a : { camera, photoClick, drag, logo, frame, addOns })
        a->setCheckable(true);

    // Captions and pressed states follow the model after every command.
    auto refresh = [=, &decorations] {
        const int mode = webcam->settings.Snapshot().mouseMode;
        camera->setText(webcam->cameraRunning() ? tr("关闭摄像机") : tr("开启摄像机"));
        camera->setChecked(webcam->cameraRunning());
        photoClick->setText(tr("单击图像区拍照"));
        photoClick->setChecked(DecorationCommands::PhotoClickPressed(mode));
        drag->setChecked(DecorationCommands::DragAddOnPressed(mode));
        const auto apply = [](QAction* a, const DecorationCommands::ToggleLook& look) {
            a->setText(look.caption);
            a->setChecked(look.pressed);
        };
        apply(logo, DecorationCommands::LogoLook(decorations.logoShown()));
        apply(frame, DecorationCommands::FrameLook(decorations.frameShown()));
        apply(addOns, DecorationCommands::AddOnLook(decorations.addOnsShown()));
    };
    // Update rules run at idle, as the model may change from anywhere (commands, the pane).
    addToolBarBreak();
    auto* picture = addToolBar(tr("画面"));
    picture->setMovable(false);
    AddPictureMenus(*picture, *child_->view());

    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, refresh);
    idle->start(100);
    refresh();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (CWebcamCtl::CameraRunningAnywhere()) {
        Messages().Question(this, tr("~~做事有始有终才是好孩子\n\n关掉摄像头再离开吧！~~"), tr("乐影屋：摄像头未关闭！"));
        event->ignore();
        return;
    }
    event->accept();
}
