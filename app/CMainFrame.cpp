#include "app/CMainFrame.h"

#include "app/CAboutDlg.h"
#include "app/CCameraControlsDlg.h"
#include "app/CCameraDlg.h"
#include "app/CameraReturn.h"
#include "app/CameraTexts.h"
#include "app/CTimeSetDlg.h"
#include "app/CaptionBar.h"
#include "app/CChildFrame.h"
#include "app/CParvelWebcamView.h"
#include "app/CPhotoViewer.h"
#include "app/CustomizeDialog.h"
#include "app/EditMenu.h"
#include "app/Looks.h"
#include "app/PhotoMenu.h"
#include "app/StatusClock.h"
#include "app/ribbon/CommandActions.h"
#include "app/ribbon/CommandIcons.h"
#include "app/ribbon/RibbonBar.h"
#include "app/ribbon/RibbonKeyTips.h"
#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "decorations/CFrameView.h"
#include "pipeline/CWebcamCtl.h"
#include "pipeline/capture/CameraList.h"
#include "ui/DialogRunner.h"
#include "ui/MessageBoxes.h"
#include "ui/Shell.h"

#include <QApplication>
#include <QSplitter>
#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QPainter>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <ctime>

namespace {
// Room for the side pane beside the picture when the window first opens.
constexpr int kPaneWidth = 320;
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
    // A double-click on the empty area, once the document's tab was closed, opens it again.
    mdi_->viewport()->installEventFilter(this);
    context_ = std::make_unique<CommandContext>(
        CommandContext { *this, Messages(), DesktopServices(), folders_, values_, nullptr, nullptr });
    context_->cameras = MakeSystemCameraList();
    sources_ = std::move(sources);
    const QSize client(values.imageWidth + kPaneWidth, values.imageHeight + 60);
    MakeDocument(client);

    setWindowIcon(AppIcon());
    actions_ = new CommandActions(commands_, *context_, this);
    captionBar_ = new CaptionBar(*actions_, this);
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
    ConnectDocument();
    resize(client.width(), client.height() + 160);
}

void CMainFrame::MakeDocument(QSize client)
{
    // The workbook as it is now: folders or sizes chosen meanwhile hold for the new document.
    child_ = new CChildFrame(folders_, values_, sources_, client);
    documentWindow_ = mdi_->addSubWindow(child_);
    documentWindow_->setAttribute(Qt::WA_DeleteOnClose);
    documentWindow_->installEventFilter(this);
    documentWindow_->showMaximized();
    context_->session = &child_->view()->session();
    context_->pane = child_;
}

void CMainFrame::OpenDocument()
{
    if (child_ != nullptr)
        return;
    MakeDocument(mdi_->viewport()->size());
    ConnectDocument();
    Retranslate();
    RefreshCommands();
}

CMainFrame::~CMainFrame()
{
    // The document goes after this window's own parts: what its session says on the way out
    // has no one left to tell.
    if (child_ != nullptr)
        child_->view()->session().disconnect(this);
}

// Everything the document does reaches the window here: the session's outcomes go to the status
// bar and refresh the commands; every input of the document runs a row of the command table.
void CMainFrame::ConnectDocument()
{
    PictureSession& session = child_->view()->session();
    // Every start and stop, whichever way it came, shows in the status bar.
    connect(&session, &PictureSession::cameraSwitched, this, [this](bool running) {
        SetStatusText(running ? tr("摄像头已经打开,可进行其他操作") : tr("摄像头已经关闭"));
        RefreshSoon();
    });
    // What the camera gives, once per start; after the start's own words, which it makes precise.
    connect(&session, &PictureSession::cameraAgreed, this, [this](QSize size, double rate, bool, QSize asked) {
        const QString text = std::exchange(returnedPrefix_, QString()) + CameraAgreedText(size, rate, asked);
        QTimer::singleShot(0, this, [this, text] { SetStatusText(text); });
    });
    // A camera unplugged while it ran starts again by itself when it is plugged back in.
    cameraReturn_ = new CameraReturn(session, context_->cameras,
        [] { return MakeSystemVideoDevices()->Paths(); }, child_->view());
    connect(cameraReturn_, &CameraReturn::cameraReturning, this,
        [this](const QString& name) { returnedPrefix_ = tr("摄像头 %1 又接上了，画面已恢复。").arg(name); });
    connect(&session, &PictureSession::cameraLost, this,
        [this] { SetStatusText(tr("摄像头已断开：没有收到画面，摄像机已关闭。请检查摄像头后重新开启")); });
    connect(&session, &PictureSession::photoFailed, this, &CMainFrame::SetStatusText);
    connect(&session, &PictureSession::backdropMessage, this, [this](const QString& text) {
        SetStatusText(text);
        RefreshSoon(); // the learning's button is no longer pressed
    });
    connect(&session, &PictureSession::clothColourPicked, this, [this](const QColor& colour) {
        SetStatusTextWithSwatch(tr("已取幕布颜色 RGB(%1, %2, %3)：画面里这种颜色的地方换成背景").arg(colour.red()).arg(colour.green())
                          .arg(colour.blue()),
            colour);
        RefreshSoon(); // the pick's button is let go, the cloth's pressed
    });
    connect(&session, &PictureSession::photoSaved, this,
        [this](const QString& path) { SetStatusText(tr("照片已保存：%1").arg(path)); });
    connect(&session, &PictureSession::photoFolderMissing, this, &CMainFrame::PhotoFolderMissing);
    connect(&session, &PictureSession::videoSaved, this, [this](const QString& path, quint64 dropped) {
        QString text = tr("录像已保存：%1").arg(path);
        if (dropped > 0)
            text += tr("（有 %1 帧来不及录入）").arg(dropped);
        SetStatusText(text);
    });
    connect(&session, &PictureSession::gifSaved, this,
        [this](const QString& path) { SetStatusText(tr("动图已保存：%1").arg(path)); });
    connect(&session, &PictureSession::recordingFailed, this, &CMainFrame::SetStatusText);
    // What the commands show changes with the session, not only with the commands.
    connect(&session, &PictureSession::stateChanged, this, &CMainFrame::RefreshSoon);

    CParvelWebcamView* view = child_->view();
    connect(view->webcam(), &CWebcamCtl::cameraToggleRequested, this, [this] { actions_->Run(ID_BUTTON_CAM_MANGER); });
    connect(view->webcam(), &CWebcamCtl::funEffectPicked, this,
        [this](int effect) { actions_->Run(static_cast<CommandId>(ID_FUN_NONE + effect)); });
    connect(view->webcam(), &CWebcamCtl::funPreviewPageRequested, this,
        [this](int step) { actions_->Run(step < 0 ? ID_FUN_PAGE_BACK : ID_FUN_PAGE_NEXT); });
    // The fun effect chosen in an earlier run is on from the start.
    session.model().settings.Change([](PictureSettings& s) { s.funEffect = RememberedFunEffect(); });
    connect(view, &CParvelWebcamView::menuRequested, this, [this](const QPoint& at) {
        const std::unique_ptr<QMenu> menu(BuildEditMenu(*actions_, this));
        menu->exec(at);
    });
    connect(view, &CParvelWebcamView::sizeModeChanged, this, &CMainFrame::RefreshSoon);
    // The picture took the camera's size (measured, or given by the camera): the settings the
    // commands see follow, as the workbook did.
    connect(view, &CParvelWebcamView::pictureSizeChanged, this, [this](QSize size) {
        values_.imageWidth = size.width();
        values_.imageHeight = size.height();
        values_.cameraDetected = 1;
    });

    connect(child_, &CChildFrame::paneToggleRequested, this, [this] { actions_->Run(ID_VIEW_SIDE_PANE); });

    CFrameView* pane = child_->pane();
    auto pick = [this](CommandId id) {
        return [this, id](const QString& path, int kind) {
            CommandInput input;
            input.path = path;
            input.kind = kind;
            actions_->Run(id, input);
        };
    };
    connect(pane, &CFrameView::framePicked, this, pick(ID_PICK_FRAME));
    connect(pane, &CFrameView::addOnPicked, this, pick(ID_PICK_ADD_ON));
    // The photos strip's files: a double-click shows them in the viewer, the right button shows
    // their menu.
    connect(pane, &CFrameView::photoActivated, this, [this](const QString& path) {
        CommandInput input;
        input.path = path;
        actions_->Run(ID_PHOTO_VIEW, input);
    });
    connect(pane, &CFrameView::photoMenuRequested, this, [this](const QString& path, const QPoint& at) {
        const std::unique_ptr<QMenu> menu(BuildPhotoMenu(*actions_, path, this));
        menu->exec(at);
    });
}

// A chosen photo folder that went: the photo was kept in the default folder. Said in the status
// bar every time, and once per folder in a box that offers to choose another.
void CMainFrame::PhotoFolderMissing(const QString& folder, const QString& keptAt)
{
    SetStatusText(tr("照片文件夹不存在（%1），照片已保存到：%2").arg(QDir::toNativeSeparators(folder),
        QDir::toNativeSeparators(keptAt)));
    if (!missingFoldersTold_.insert(folder).second)
        return;
    const QString text = tr("照片文件夹不存在：\n%1\n\n这张照片已保存到：\n%2\n\n要选择另一个照片文件夹吗？")
                             .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(keptAt));
    if (Messages().OkCancelQuestion(boxParent(), text) == MessageChoice::Ok)
        actions_->Run(ID_BUTTON_PHOTO_DIR);
}

void CMainFrame::BuildStatusBar()
{
    statusSwatch_ = new QLabel(this);
    statusSwatch_->hide();
    statusBar()->addWidget(statusSwatch_);
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
    if (child_ == nullptr)
        return;
    const PictureSession& session = child_->view()->session();
    if (session.recording())
        SetStatusText(session.recordingMessage() + QStringLiteral("  ") + ElapsedText(session.recordingElapsed()));
}

void CMainFrame::SetStatusText(const QString& text)
{
    statusSwatch_->hide();
    statusText_->setText(text);
}

void CMainFrame::SetStatusTextWithSwatch(const QString& text, const QColor& swatch)
{
    statusText_->setText(text);
    // As tall as a capital, with a thin dark edge so that a pale colour shows on the pale bar.
    const int side = std::max(statusText_->fontMetrics().capHeight() + 4, 10);
    const qreal ratio = devicePixelRatioF();
    QPixmap square(QSize(side, side) * ratio);
    square.setDevicePixelRatio(ratio);
    square.fill(swatch);
    {
        QPainter painter(&square);
        painter.setPen(QColor(60, 60, 60));
        painter.drawRect(0, 0, side - 1, side - 1);
    }
    statusSwatch_->setPixmap(square);
    statusSwatch_->setToolTip(swatch.name(QColor::HexRgb).toUpper());
    statusSwatch_->show();
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

QWidget* CMainFrame::boxParent()
{
    if (child_ != nullptr)
        return child_->view();
    return this;
}

void CMainFrame::ToggleStatusBar()
{
    statusBar()->setVisible(!statusBar()->isVisible());
}

bool CMainFrame::statusBarShown() const
{
    return statusBar()->isVisible();
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
    // The ribbon holds every command and the caption bar the button back to this dialog: one of
    // them stays.
    std::vector<CustomizeDialog::Bar> bars;
    bars.push_back({ tr("功能区"), ribbon_, true });
    bars.push_back({ tr("标题栏"), captionBar_, true });
    bars.push_back({ tr("状态栏"), statusBar(), false });
    CustomizeDialog dialog(std::move(bars), this);
    RunDialog(dialog);
    RefreshCommands();
}

bool CMainFrame::ribbonFolded() const
{
    // Asked while the ribbon is being built, for its own button.
    return ribbon_ != nullptr && (ribbon_->folded() || ribbon_->isHidden());
}

void CMainFrame::SetRibbonFolded(bool folded)
{
    if (ribbon_ == nullptr || pictureFullScreen())
        return; // the picture alone: the ribbon comes back with the window
    if (!folded)
        ribbon_->show();
    ribbon_->SetFolded(folded);
}

void CMainFrame::BuildRibbon()
{
    ribbon_ = new RibbonBar(ProgramRibbonLayout(), *actions_, this);
    keyTips_ = new RibbonKeyTips(*ribbon_, *this);
    actions_->AddShortcutsTo(*this);
    // One refresh pass after every command, wherever it was run from.
    connect(actions_, &CommandActions::commandRan, this, &CMainFrame::RefreshCommands);
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
    refreshPending_ = false;
    ribbon_->Refresh();
}

void CMainFrame::RefreshSoon()
{
    if (refreshPending_)
        return;
    refreshPending_ = true;
    // A pass that runs meanwhile (after a command) takes this one's place.
    QMetaObject::invokeMethod(this, [this] {
        if (refreshPending_)
            RefreshCommands();
    }, Qt::QueuedConnection);
}

void CMainFrame::SetPictureFullScreen(bool on)
{
    if (on == pictureFullScreen())
        return;
    CParvelWebcamView* view = child_ != nullptr ? child_->view() : nullptr;
    if (on) {
        fullScreen_ = Windowed { windowState(), ribbon_->isVisible(), statusBar()->isVisible(),
            captionBar_->isVisible(), child_ != nullptr && child_->pane()->isVisible(),
            child_ != nullptr ? child_->splitter()->sizes() : QList<int>(),
            documentWindow_ != nullptr ? documentWindow_->windowFlags() : Qt::WindowFlags() };
        ribbon_->hide();
        statusBar()->hide();
        captionBar_->hide();
        // The tabs keep their band even when hidden; without tabs and without a frame the
        // document fills the screen.
        mdi_->setViewMode(QMdiArea::SubWindowView);
        if (documentWindow_ != nullptr) {
            documentWindow_->setWindowFlags(Qt::FramelessWindowHint);
            documentWindow_->showMaximized();
        }
        if (child_ != nullptr)
            child_->pane()->hide();
        if (view != nullptr)
            view->SetPictureAlone(true);
        showFullScreen();
    } else {
        const Windowed before = *fullScreen_;
        fullScreen_.reset();
        ribbon_->setVisible(before.ribbon);
        statusBar()->setVisible(before.statusBar);
        captionBar_->setVisible(before.captionBar);
        if (documentWindow_ != nullptr) {
            documentWindow_->setWindowFlags(before.documentFlags);
            documentWindow_->showMaximized();
        }
        mdi_->setViewMode(QMdiArea::TabbedView);
        if (child_ != nullptr)
            child_->pane()->setVisible(before.pane);
        if (view != nullptr)
            view->SetPictureAlone(false);
        setWindowState(before.states);
        if (child_ != nullptr)
            child_->RestoreSplit(before.split);
    }
    RefreshCommands();
}

DisplaySize CMainFrame::displaySize() const
{
    return child_ != nullptr ? child_->view()->sizeMode() : kDisplayFull;
}

void CMainFrame::SetDisplaySize(DisplaySize size)
{
    if (child_ != nullptr)
        child_->view()->SetDisplaySize(size);
}

bool CMainFrame::CancelPictureSelection()
{
    return child_ != nullptr && child_->view()->webcam()->CancelSelection();
}

void CMainFrame::OpenDelayDialog(AppFolders& folders, SettingsValues& values)
{
    OpenDelayDialogOver(boxParent(), folders, values);
}

void CMainFrame::OpenAboutDialog()
{
    CAboutDlg dialog(this);
    RunDialog(dialog);
}

std::optional<CameraAnswer> CMainFrame::AskForCamera(std::vector<CameraInfo> present, const QString& remembered,
    cv::Size currentSize)
{
    // A camera plugged in or out while the chooser is open shows there at once.
    return AskForCameraInDialog(std::move(present), remembered, currentSize, this, [this](CCameraDlg& dialog) {
        if (cameraReturn_ != nullptr && context_->cameras)
            connect(cameraReturn_, &CameraReturn::camerasChanged, &dialog,
                [this, &dialog] { dialog.SetCameras(context_->cameras->Cameras()); });
    });
}

void CMainFrame::OpenCameraSettings(const CameraInfo* camera)
{
    OpenCameraControlsOver(this, camera);
}

bool CMainFrame::RefuseWhileCameraRuns(bool running)
{
    if (!running)
        return false;
    Messages().Question(this, tr("~~做事有始有终才是好孩子\n\n关掉摄像头再离开吧！~~"), tr("乐影屋：摄像头未关闭！"));
    return true;
}

void CMainFrame::StopForShutdown()
{
    if (child_ != nullptr) {
        PictureSession& session = child_->view()->session();
        if (session.running())
            session.Stop();
        session.StopRecording();
    }
}

void CMainFrame::ShowInViewer(const QString& path)
{
    if (viewer_ == nullptr) {
        viewer_ = new CPhotoViewer(*actions_, this);
        viewer_->setAttribute(Qt::WA_QuitOnClose, false); // it goes with the main window
        context_->viewer = viewer_;
    }
    viewer_->ShowFile(path);
}

void CMainFrame::CloseForShutdown()
{
    shuttingDown_ = true; // the close is not refused, whatever runs
    StopForShutdown();
    close();
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!shuttingDown_ && RefuseWhileCameraRuns(PictureSession::RunningAnywhere())) {
        event->ignore();
        return;
    }
    // Nothing records without the camera, but a recording must never outlive the window.
    if (child_ != nullptr)
        child_->view()->session().StopRecording();
    if (viewer_ != nullptr)
        viewer_->close();
    event->accept();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == mdi_->viewport() && event->type() == QEvent::MouseButtonDblClick && child_ == nullptr) {
        actions_->Run(ID_OPEN_DOCUMENT);
        return true;
    }
    if (watched == documentWindow_ && event->type() == QEvent::Close) {
        if (child_ != nullptr && !shuttingDown_ && RefuseWhileCameraRuns(child_->view()->session().running())) {
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
    context_->session = nullptr;
    context_->pane = nullptr;
    if (child_ != nullptr)
        child_->view()->session().disconnect(this); // it goes later, with its tab
    child_ = nullptr;
    documentWindow_ = nullptr;
    setWindowTitle(tr("常言道"));
    RefreshCommands();
}
