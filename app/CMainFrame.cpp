#include "app/CMainFrame.h"

#include "app/CaptionBar.h"
#include "app/CChildFrame.h"
#include "app/CParvelWebcamView.h"
#include "app/CommandToolBar.h"
#include "app/CustomizeDialog.h"
#include "app/Looks.h"
#include "app/StatusClock.h"
#include "app/commands/CommandContext.h"
#include "pipeline/CWebcamCtl.h"
#include "ui/DialogRunner.h"
#include "ui/MessageBoxes.h"
#include "ui/Shell.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <ctime>

namespace {
// Room for the side pane beside the picture when the window first opens.
constexpr int kPaneWidth = 320;
// How often the command states follow the model when nothing else asks for it.
constexpr int kRefreshMs = 100;
constexpr int kClockMs = 1000;
} // namespace

CMainFrame::CMainFrame(const AppFolders& folders, const SettingsValues& values, FrameSourceFactory sources,
    QWidget* parent)
    : QMainWindow(parent)
    , folders_(folders)
    , values_(values)
    , commands_(BuildCommandTable())
{
    SetLook(StoredLook());

    // The one document, in a tab with a close button.
    mdi_ = new QMdiArea(this);
    mdi_->setViewMode(QMdiArea::TabbedView);
    mdi_->setTabsClosable(true);
    mdi_->setDocumentMode(true);
    const QSize client(values.imageWidth + kPaneWidth, values.imageHeight + 60);
    child_ = new CChildFrame(folders, values, std::move(sources), client);
    documentWindow_ = mdi_->addSubWindow(child_);
    documentWindow_->setAttribute(Qt::WA_DeleteOnClose);
    documentWindow_->setWindowTitle(tr("Parvel 乐影屋"));
    documentWindow_->installEventFilter(this);
    documentWindow_->showMaximized();
    setWindowTitle(tr("Parvel 乐影屋 - 常言道"));

    CWebcamCtl* webcam = child_->view()->webcam();
    context_ = std::make_unique<CommandContext>(CommandContext { this, child_,
        [this](const QString& text) { SetStatusText(text); }, Messages(), DesktopServices(), folders_, values_ });

    captionBar_ = new CaptionBar(commands_, *context_, this);
    captionBar_->hide();
    auto* centre = new QWidget(this);
    auto* layout = new QVBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(captionBar_);
    layout->addWidget(mdi_, 1);
    setCentralWidget(centre);

    BuildStatusBar();
    BuildCommandBars();

    // Every start and stop, whichever way it came, shows in the status bar.
    connect(webcam, &CWebcamCtl::cameraSwitched, this, [this](bool running) {
        SetStatusText(running ? tr("摄像头已经打开,可进行其他操作") : tr("摄像头已经关闭"));
        RefreshCommands();
    });
    connect(webcam, &CWebcamCtl::cameraLost, this,
        [this] { SetStatusText(tr("摄像头已断开：没有收到画面，摄像机已关闭。请检查摄像头后重新开启")); });
    connect(webcam, &CWebcamCtl::photoFailed, this, &CMainFrame::SetStatusText);
    connect(webcam, &CWebcamCtl::photoSaved, this,
        [this](const QString& path) { SetStatusText(tr("照片已保存：%1").arg(path)); });
    resize(client.width(), client.height() + 160);
}

CMainFrame::~CMainFrame() = default;

void CMainFrame::BuildStatusBar()
{
    statusText_ = new QLabel(tr("(*^__^*) 嘻嘻…… 欢迎来到 Parvel 乐影屋~   希望玩的愉快！"), this);
    statusBar()->addWidget(statusText_, 1);
    // The clock sits at the right end of the bar, inside the window, whatever its size.
    clock_ = new QLabel(tr("时间"), this);
    clock_->setMinimumWidth(clock_->fontMetrics().horizontalAdvance(QStringLiteral("0000-00-00 00: 00: 00")) + 8);
    clock_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    statusBar()->addPermanentWidget(clock_);
    clockTimer_ = new QTimer(this);
    connect(clockTimer_, &QTimer::timeout, this, &CMainFrame::UpdateClock);
    clockTimer_->start(kClockMs);
}

void CMainFrame::UpdateClock()
{
    clock_->setText(ClockText(std::time(nullptr)));
}

void CMainFrame::SetStatusText(const QString& text)
{
    statusText_->setText(text);
}

QString CMainFrame::statusText() const
{
    return statusText_->text();
}

void CMainFrame::SetLook(unsigned value)
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    look_ = value;
    ApplyLook(*this, LookFor(value));
    StoreLook(value);
    QApplication::restoreOverrideCursor();
}

void CMainFrame::ToggleCaptionBar()
{
    captionBar_->setVisible(!captionBar_->isVisible());
}

bool CMainFrame::captionBarShown() const
{
    return captionBar_->isVisible();
}

void CMainFrame::OpenCustomizeDialog()
{
    std::vector<CustomizeDialog::Bar> bars;
    for (CommandToolBar* bar : bars_)
        bars.push_back({ bar->windowTitle(), bar });
    bars.push_back({ tr("标题栏"), captionBar_ });
    bars.push_back({ tr("状态栏"), statusBar() });
    CustomizeDialog dialog(std::move(bars), this);
    RunDialog(dialog);
    RefreshCommands();
}

void CMainFrame::BuildCommandBars()
{
    using E = ToolBarEntry;
    // Stand-in tool bars until the ribbon shows the same rows.
    const std::vector<ToolBarEntry> common {
        E::Button(ID_BUTTON_CAM_MANGER),
        E::Button(ID_BUTTON_PHOTO_CLICK),
        E::Button(ID_BUTTON_PHOTO_DELAY),
        E::Button(ID_BUTTON_DRAG_ADD_ON),
        E::Gap(),
        E::Button(ID_BUTTON_LOOGO),
        E::Button(ID_BUTTON_FRAME_SHOWIF),
        E::Button(ID_BUTTON_ADDON_SHOWIF),
        E::Button(ID_BUTTON_CLEAR_ADDON),
        E::Gap(),
        E::DropDown("样式",
            { ID_VIEW_APPLOOK_OFF_2007_BLUE, ID_VIEW_APPLOOK_OFF_2007_BLACK, ID_VIEW_APPLOOK_OFF_2007_SILVER,
                ID_VIEW_APPLOOK_OFF_2007_AQUA, ID_VIEW_APPLOOK_WINDOWS_7 }),
        E::DropDown("视图", { ID_VIEW_STATUS_BAR, ID_VIEW_CAPTION_BAR, ID_APP_EXIT }),
    };
    const std::vector<ToolBarEntry> picture {
        E::DropDown("图像显示尺寸", { ID_BUTTON_SIZE1, ID_BUTTON_SIZE2, ID_BUTTON_SIZE3, ID_BUTTON_SIZE_FIT }),
        E::DropDown("炫彩风格",
            { ID_BUTTON_BLACKWHITE, ID_BUTTON_INVERT, ID_BUTTON_SKETCH, ID_BUTTON_SMOOTH_SKETCH, ID_BUTTON_ERODE,
                ID_BUTTON_GRAIN }),
        E::DropDown("色彩", { ID_CHECK_RGB, ID_CHECK_HSV, ID_CHECK_HLS, ID_CHECK_YCRCB, ID_BUTTON_DEFUALT_COLOR }),
        E::DropDown("ROI关键区域",
            { ID_BUTTON_ROI, ID_BUTTON_CANCEL_ROI, ID_BUTTON_EFFECT_ROI, ID_BUTTON_DEFUALT_EFFECT }),
        E::DropDown("图像翻转", { ID_BUTTON_H_FLIP, ID_BUTTON_V_FLIP, ID_BUTTON_HV_FLIP }),
        E::DropDown("光流互动",
            { ID_BUTTON_LIGHTFLOW_AUTO, ID_BUTTON_LIGHTFLOW_MANUAL, ID_BUTTON_LIGHTFLOW_NIGHT,
                ID_BUTTON_ESC_LIGHTFLOW }),
        E::DropDown("挥毫泼墨", { ID_BUTTON_MOUSE_PAINT, ID_BUTTON_PAINT_HIDE, ID_BUTTON_PAINT_CLEAR }),
        E::Gap(),
        E::DropDown("相框类型切换", { ID_BUTTON_FRAME_GIF, ID_BUTTON_FRAME_PNG }),
        E::DropDown("挂件类型切换", { ID_BUTTON_ADD_ON_GIF, ID_BUTTON_ADD_ON_PNG }),
        E::DropDown("文件存储设置",
            { ID_BUTTON_OPEN_PHOTO_DIR, ID_BUTTON_PHOTO_DIR, ID_BUTTON_OPEN_FRAME, ID_BUTTON_FRAME_DIR,
                ID_BUTTON_OPEN_ADD_ON_DIR, ID_BUTTON_ADD_ON_DIR }),
        E::DropDown("延时设置", { ID_BUTTON_TIME_SET }),
    };
    bars_.push_back(new CommandToolBar(tr("常用"), common, commands_, *context_, this));
    bars_.push_back(new CommandToolBar(tr("画面"), picture, commands_, *context_, this));
    addToolBar(bars_[0]);
    addToolBarBreak();
    addToolBar(bars_[1]);
    for (CommandToolBar* bar : bars_)
        connect(bar, &CommandToolBar::commandRan, this, &CMainFrame::RefreshCommands);

    // The model also changes from elsewhere (a double-click, the side pane): one pass refreshes
    // every shown command.
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, &CMainFrame::RefreshCommands);
    idle->start(kRefreshMs);
}

QAction* CMainFrame::ShownAction(CommandId id) const
{
    for (CommandToolBar* bar : bars_)
        if (QAction* action = bar->ActionFor(id))
            return action;
    return nullptr;
}

void CMainFrame::RefreshCommands()
{
    for (CommandToolBar* bar : bars_)
        bar->Refresh();
}

bool CMainFrame::RefuseWhileCameraRuns(bool running)
{
    if (!running)
        return false;
    Messages().Question(this, tr("~~做事有始有终才是好孩子\n\n关掉摄像头再离开吧！~~"), tr("乐影屋：摄像头未关闭！"));
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (RefuseWhileCameraRuns(CWebcamCtl::CameraRunningAnywhere())) {
        event->ignore();
        return;
    }
    event->accept();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == documentWindow_ && event->type() == QEvent::Close) {
        if (child_ != nullptr && RefuseWhileCameraRuns(child_->view()->webcam()->cameraRunning())) {
            event->ignore();
            return true;
        }
        DocumentClosing();
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::DocumentClosing()
{
    // The commands forget the document before its widgets go, so no refresh reaches them.
    context_->document = nullptr;
    child_ = nullptr;
    documentWindow_ = nullptr;
    setWindowTitle(tr("常言道"));
    RefreshCommands();
}
