#include "app/CMainFrame.h"

#include "app/CaptionBar.h"
#include "app/CChildFrame.h"
#include "app/CParvelWebcamView.h"
#include "app/CustomizeDialog.h"
#include "app/Looks.h"
#include "app/PhotoMenu.h"
#include "app/StatusClock.h"
#include "app/ribbon/CommandActions.h"
#include "app/ribbon/CommandIcons.h"
#include "app/ribbon/RibbonBar.h"
#include "app/ribbon/RibbonKeyTips.h"
#include "app/commands/CommandContext.h"
#include "decorations/CFrameView.h"
#include "pipeline/CWebcamCtl.h"
#include "pipeline/capture/CameraList.h"
#include "ui/DialogRunner.h"
#include "ui/MessageBoxes.h"
#include "ui/Shell.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QTabBar>
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
    documentWindow_->installEventFilter(this);
    documentWindow_->showMaximized();

    CWebcamCtl* webcam = child_->view()->webcam();
    context_ = std::make_unique<CommandContext>(CommandContext { this, child_,
        [this](const QString& text) { SetStatusText(text); }, Messages(), DesktopServices(), folders_, values_ });
    context_->cameras = MakeSystemCameraList();

    setWindowIcon(AppIcon());
    actions_ = new CommandActions(commands_, *context_, this);
    captionBar_ = new CaptionBar(commands_, *context_, this);
    captionBar_->hide();
    BuildRibbon();
    auto* centre = new QWidget(this);
    auto* layout = new QVBoxLayout(centre);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ribbon_);
    layout->addWidget(captionBar_);
    layout->addWidget(mdi_, 1);
    setCentralWidget(centre);

    BuildStatusBar();
    Retranslate();

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
    // The photos strip's files: a double-click opens, the right button shows their menu.
    connect(child_->pane(), &CFrameView::photoActivated, this, [this](const QString& path) {
        context_->photoUnderMenu = path;
        actions_->Run(ID_PHOTO_OPEN);
    });
    connect(child_->pane(), &CFrameView::photoMenuRequested, this, [this](const QString& path, const QPoint& at) {
        context_->photoUnderMenu = path;
        const std::unique_ptr<QMenu> menu(BuildPhotoMenu(commands_, *context_, this));
        menu->exec(at);
        RefreshCommands();
    });
    connect(webcam, &CWebcamCtl::videoSaved, this, [this](const QString& path, quint64 dropped) {
        QString text = tr("录像已保存：%1").arg(path);
        if (dropped > 0)
            text += tr("（有 %1 帧来不及录入）").arg(dropped);
        SetStatusText(text);
        RefreshCommands();
    });
    connect(webcam, &CWebcamCtl::gifSaved, this, [this](const QString& path) {
        SetStatusText(tr("动图已保存：%1").arg(path));
        RefreshCommands();
    });
    connect(webcam, &CWebcamCtl::recordingFailed, this, [this](const QString& message) {
        SetStatusText(message);
        RefreshCommands();
    });
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
    // The recorded time follows in the status bar once a second.
    if (child_ != nullptr && child_->view()->webcam()->recording())
        SetStatusText(child_->view()->webcam()->RecordingStatusText());
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
    bars.push_back({ tr("功能区"), ribbon_ });
    bars.push_back({ tr("标题栏"), captionBar_ });
    bars.push_back({ tr("状态栏"), statusBar() });
    CustomizeDialog dialog(std::move(bars), this);
    RunDialog(dialog);
    RefreshCommands();
}

void CMainFrame::BuildRibbon()
{
    ribbon_ = new RibbonBar(ProgramRibbonLayout(), *actions_, this);
    keyTips_ = new RibbonKeyTips(*ribbon_, *this);
    actions_->AddShortcutsTo(*this);
    connect(actions_, &CommandActions::commandRan, this, &CMainFrame::RefreshCommands);

    // The model also changes from elsewhere (a double-click, the side pane, the countdown): one
    // pass at idle refreshes every shown command.
    auto* idle = new QTimer(this);
    connect(idle, &QTimer::timeout, this, &CMainFrame::RefreshCommands);
    idle->start(kRefreshMs);
}

void CMainFrame::SetInterfaceLanguage(InterfaceLanguage language)
{
    RememberLanguage(language);
    if (language == CurrentInterfaceLanguage())
        return;
    InstallTranslations(language);
    // The ribbon's own widgets may be running this very command: build it anew once they are done.
    QMetaObject::invokeMethod(this, [this] {
        auto* old = ribbon_;
        const int category = old->currentCategory();
        const bool folded = old->folded();
        delete keyTips_;
        ribbon_ = new RibbonBar(ProgramRibbonLayout(), *actions_, this);
        keyTips_ = new RibbonKeyTips(*ribbon_, *this);
        delete centralWidget()->layout()->replaceWidget(old, ribbon_); // the item that held the old one
        old->hide();
        old->deleteLater();
        ribbon_->SetCurrentCategory(category);
        ribbon_->SetFolded(folded);
        actions_->Retranslate();
        Retranslate();
        SetStatusText(tr("界面语言已切换为中文"));
    }, Qt::QueuedConnection);
}

void CMainFrame::Retranslate()
{
    if (documentWindow_ != nullptr)
        documentWindow_->setWindowTitle(tr("Parvel 乐影屋"));
    setWindowTitle(child_ != nullptr ? tr("Parvel 乐影屋 - 常言道") : tr("常言道"));
}

QAction* CMainFrame::ShownAction(CommandId id) const
{
    return actions_->Find(id);
}

void CMainFrame::RefreshCommands()
{
    ribbon_->Refresh();
}

void CMainFrame::SetPictureFullScreen(bool on)
{
    if (on == pictureFullScreen())
        return;
    CParvelWebcamView* view = child_ != nullptr ? child_->view() : nullptr;
    QTabBar* documentTabs = mdi_->findChild<QTabBar*>();
    if (on) {
        fullScreen_ = Windowed { windowState(), ribbon_->isVisible(), statusBar()->isVisible(),
            captionBar_->isVisible(), child_ != nullptr && child_->pane()->isVisible(),
            view != nullptr ? int(view->sizeMode()) : int(kDisplayFull) };
        ribbon_->hide();
        statusBar()->hide();
        captionBar_->hide();
        if (documentTabs != nullptr)
            documentTabs->hide();
        if (child_ != nullptr)
            child_->pane()->hide();
        if (view != nullptr)
            view->SetDisplaySize(kDisplayFit);
        showFullScreen();
    } else {
        const Windowed before = *fullScreen_;
        fullScreen_.reset();
        ribbon_->setVisible(before.ribbon);
        statusBar()->setVisible(before.statusBar);
        captionBar_->setVisible(before.captionBar);
        if (documentTabs != nullptr)
            documentTabs->show();
        if (child_ != nullptr)
            child_->pane()->setVisible(before.pane);
        if (view != nullptr)
            view->SetDisplaySize(static_cast<DisplaySize>(before.sizeMode));
        setWindowState(before.states);
    }
    RefreshCommands();
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
    // Nothing records without the camera, but a recording must never outlive the window.
    if (child_ != nullptr)
        child_->view()->webcam()->StopRecording();
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
