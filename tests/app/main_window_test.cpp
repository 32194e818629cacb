#include "MainWindowRig.h"

#include "decorations/CFrameView.h"
#include "QtTestApp.h"
#include "../pipeline/ScriptedSource.h"

#include "app/CaptionBar.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CParvelWebcamView.h"
#include "app/CustomizeDialog.h"
#include "app/Looks.h"
#include "app/ShutdownSignals.h"
#include "app/StatusClock.h"
#include "app/commands/CommandContext.h"
#include "app/ribbon/RibbonBar.h"
#include "pipeline/CWebcamCtl.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/record/VideoRecorder.h"
#include "pipeline/record/VideoSink.h"
#include "ui/PathText.h"
#include "ui/DialogRunner.h"
#include "ui/MessageBoxes.h"

#include <gtest/gtest.h>

#include <QMouseEvent>

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>

#include <csignal>
#include <cmath>
#include <set>

namespace {

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second)
{
    std::tm t {};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = hour;
    t.tm_min = minute;
    t.tm_sec = second;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

TEST(StatusClockTest, NumbersWithoutLeadingZerosAndSpacedTimeParts)
{
    EXPECT_EQ(ClockText(LocalTime(2011, 5, 3, 21, 5, 9)), "2011-5-3 21: 5: 9");
    EXPECT_EQ(ClockText(LocalTime(2011, 5, 3, 9, 7, 5)), "2011-5-3 9: 7: 5");
    EXPECT_EQ(ClockText(LocalTime(2026, 12, 31, 0, 0, 0)), "2026-12-31 0: 0: 0");
}

TEST(LooksTest, StoredValuesSelectTheirLookAndUnknownOnesTheOfficeBlueOne)
{
    EnsureQtApp();
    EXPECT_EQ(LookFor(205).id, kLookPlain);
    EXPECT_TRUE(LookFor(205).styleSheet.isEmpty());
    EXPECT_EQ(LookFor(300).id, kLookOffice2007Blue);
    EXPECT_EQ(LookFor(0).id, kLookOffice2007Blue);
    EXPECT_EQ(LookFor(219).id, kLookWindows7);
    // The five looks offered are visibly different: no two share their window and accent colours.
    std::set<std::pair<QRgb, QRgb>> seen;
    for (unsigned v = 215; v <= 219; ++v) {
        const QPalette p = LookFor(v).palette;
        seen.insert({ p.color(QPalette::Window).rgb(), p.color(QPalette::Highlight).rgb() });
        EXPECT_FALSE(LookFor(v).styleSheet.isEmpty()) << v;
    }
    EXPECT_EQ(seen.size(), 5u);
}

// Disabled commands (the edit menu's cut and paste, sliders that change nothing) must look
// disabled in every look: their text stands out less from the background than enabled text does.
TEST(LooksTest, DisabledTextStandsOutLessThanEnabledTextInEveryLook)
{
    EnsureQtApp();
    const auto luma = [](const QColor& c) { return 0.299 * c.red() + 0.587 * c.green() + 0.114 * c.blue(); };
    for (unsigned v = kLookPlain; v <= kLookWindows7; ++v) {
        const QPalette p = LookFor(v).palette;
        const double background = luma(p.color(QPalette::Window));
        for (QPalette::ColorRole role : { QPalette::Text, QPalette::WindowText, QPalette::ButtonText }) {
            const double enabled = std::abs(luma(p.color(QPalette::Active, role)) - background);
            const double disabled = std::abs(luma(p.color(QPalette::Disabled, role)) - background);
            EXPECT_LT(disabled, 0.7 * enabled) << "look " << v << " role " << role;
            EXPECT_GT(disabled, 0.15 * enabled) << "look " << v << " role " << role << ": still readable";
        }
        if (v != kLookPlain) {
            // The etch under disabled menu text stays in the menu's background.
            const double etch = std::abs(luma(p.color(QPalette::Disabled, QPalette::Light)) - luma(p.color(QPalette::Base)));
            EXPECT_LT(etch, 20) << "look " << v;
        }
    }
}

class MainWindowTest : public MainWindowRig {
protected:
    std::unique_ptr<CMainFrame> Make() const { return MakeWindow(); }
};

TEST_F(MainWindowTest, OneTabbedDocumentGreetingAndAClockInsideTheWindow)
{
    EXPECT_EQ(window->windowTitle(), "Parvel 乐影屋 - 常言道");
    EXPECT_EQ(window->mdiArea()->viewMode(), QMdiArea::TabbedView);
    EXPECT_TRUE(window->mdiArea()->tabsClosable());
    ASSERT_EQ(window->mdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(window->documentWindow()->windowTitle(), "Parvel 乐影屋");
    EXPECT_EQ(window->statusText(), "(*^__^*) 嘻嘻…… 欢迎来到 Parvel 乐影屋~   希望玩的愉快！");

    window->UpdateClock();
    EXPECT_EQ(window->clockPane()->text().count(':'), 2);
    QCoreApplication::processEvents();
    // At the right end of the status bar, inside the window, clear of the greeting.
    const QRect clock(window->clockPane()->mapTo(window.get(), QPoint(0, 0)), window->clockPane()->size());
    EXPECT_TRUE(window->rect().contains(clock)) << clock.x() << "," << clock.y();
    EXPECT_GT(clock.left(), window->width() / 2);
    EXPECT_GE(window->statusBar()->width() - (clock.right() - window->statusBar()->x()), 0);
}

TEST_F(MainWindowTest, CaptionBarTogglesTwiceAndItsButtonOpensTheCustomisation)
{
    const CommandTable& table = window->commands();
    CommandContext& context = window->commandContext();
    EXPECT_FALSE(window->captionBarShown());
    EXPECT_FALSE(table.Update(ID_VIEW_CAPTION_BAR, context).pressed.value());
    table.Run(ID_VIEW_CAPTION_BAR, context);
    EXPECT_TRUE(window->captionBarShown());
    EXPECT_TRUE(table.Update(ID_VIEW_CAPTION_BAR, context).pressed.value());
    EXPECT_EQ(window->captionBar()->optionsButton()->text(), "选项...");
    EXPECT_EQ(window->captionBar()->textLabel()->text(), "这是标题栏，可在其中向用户显示消息。");

    int dialogs = 0;
    ScopedDialogRunner answer([&](QDialog& dialog) {
        auto* customize = qobject_cast<CustomizeDialog*>(&dialog);
        EXPECT_NE(customize, nullptr);
        ++dialogs;
        for (QCheckBox* box : customize->boxes())
            if (box->text() == "状态栏")
                box->setChecked(false);
        customize->accept();
        return int(QDialog::Accepted);
    });
    window->captionBar()->optionsButton()->click();
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(window->statusBar()->isVisible());

    table.Run(ID_VIEW_CAPTION_BAR, context);
    EXPECT_FALSE(window->captionBarShown());
}

// The ribbon and the caption bar are the only ways to the commands: the dialog never hides both,
// and Ctrl+F1 folds the ribbon to its tabs and back, bringing back a hidden one too.
TEST_F(MainWindowTest, TheRibbonAndTheCaptionBarNeverGoTogetherAndCtrlF1FoldsTheRibbon)
{
    bool okWhileBothOff = true, refusalShown = false;
    ScopedDialogRunner answer([&](QDialog& dialog) {
        auto* customize = qobject_cast<CustomizeDialog*>(&dialog);
        EXPECT_NE(customize, nullptr);
        for (QCheckBox* box : customize->boxes())
            if (box->text() == "功能区" || box->text() == "标题栏")
                box->setChecked(false);
        okWhileBothOff = customize->okButton()->isEnabled();
        refusalShown = !customize->refusal()->isHidden();
        customize->accept(); // refused: the dialog stays open, nothing changes
        EXPECT_FALSE(customize->result() == QDialog::Accepted);
        customize->boxes()[1]->setChecked(true); // the caption bar then
        EXPECT_TRUE(customize->okButton()->isEnabled());
        EXPECT_TRUE(customize->refusal()->isHidden());
        customize->accept();
        return customize->result();
    });
    window->OpenCustomizeDialog();
    EXPECT_FALSE(okWhileBothOff);
    EXPECT_TRUE(refusalShown);
    EXPECT_FALSE(window->ribbon()->isVisible());
    EXPECT_TRUE(window->captionBarShown());

    // Ctrl+F1 brings the hidden ribbon back unfolded, then folds and unfolds it.
    QAction* fold = Shown(ID_VIEW_RIBBON_FOLD);
    ASSERT_NE(fold, nullptr);
    EXPECT_EQ(fold->shortcut(), QKeySequence("Ctrl+F1"));
    fold->trigger(); // a hidden ribbon counts as folded
    EXPECT_TRUE(window->ribbon()->isVisible());
    EXPECT_FALSE(window->ribbon()->folded());
    fold->trigger();
    EXPECT_TRUE(window->ribbon()->folded());
    EXPECT_TRUE(fold->isChecked());
    fold->trigger();
    EXPECT_FALSE(window->ribbon()->folded());
    EXPECT_FALSE(fold->isChecked());
}

TEST_F(MainWindowTest, LookIsAppliedStoredAndSurvivesARestart)
{
    QAction* silver = Shown(ID_VIEW_APPLOOK_OFF_2007_SILVER);
    ASSERT_NE(silver, nullptr);
    silver->trigger();
    EXPECT_EQ(window->look(), 217u);
    EXPECT_TRUE(silver->isChecked());
    EXPECT_FALSE(Shown(ID_VIEW_APPLOOK_WINDOWS_7)->isChecked());
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), LookFor(217).palette.color(QPalette::Window));
    window.reset();
    window = Make();
    EXPECT_EQ(window->look(), 217u);

    StoreLook(300); // a value no command offers: the Office blue look, no look button lit
    window.reset();
    window = Make();
    EXPECT_EQ(window->look(), 300u);
    EXPECT_EQ(QApplication::palette().color(QPalette::Window), LookFor(215).palette.color(QPalette::Window));
    for (CommandId id : { ID_VIEW_APPLOOK_OFF_2007_BLUE, ID_VIEW_APPLOOK_WINDOWS_7 })
        EXPECT_FALSE(Shown(id)->isChecked());
    window->SetLook(219);
}

TEST_F(MainWindowTest, NeitherWindowNorDocumentClosesWhileTheCameraRuns)
{
    CWebcamCtl* webcam = window->child()->view()->webcam();
    ASSERT_TRUE(webcam->session().Start());
    boxes.shown.clear();
    EXPECT_FALSE(window->close());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "~~做事有始有终才是好孩子\n\n关掉摄像头再离开吧！~~");
    EXPECT_EQ(boxes.shown[0].caption, "乐影屋：摄像头未关闭！");
    EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Question);

    EXPECT_FALSE(window->documentWindow()->close());
    EXPECT_EQ(boxes.shown.size(), 2u);
    EXPECT_TRUE(window->isVisible());
    ASSERT_NE(window->child(), nullptr);
    EXPECT_TRUE(webcam->cameraRunning());
    webcam->session().Stop();
}

#ifndef _WIN32
// Log-out and shutdown send SIGTERM: the recording is finished into a playable video and the
// window closes, with no box to answer, although the camera ran.
TEST_F(MainWindowTest, ATerminationSignalWhileRecordingFinishesTheVideoAndClosesWithoutABox)
{
    const QString photos = PathToQString(folders.photoDir);
    ASSERT_TRUE(QDir().mkpath(photos));
    ShutdownSignals shutdown;
    ASSERT_TRUE(shutdown.installed());
    QObject::connect(&shutdown, &ShutdownSignals::shutdownRequested, window.get(), [this] { window->CloseForShutdown(); });
    PictureSession& session = window->child()->view()->session();
    ASSERT_TRUE(session.Start());
    ASSERT_TRUE(session.StartRecording().started);
    ASSERT_TRUE(WaitUntil([&] { return state->reads > 10; }));
    boxes.shown.clear();

    ASSERT_EQ(std::raise(SIGTERM), 0); // only the pipe is written: the process goes on
    ASSERT_TRUE(WaitUntil([&] { return !window->isVisible(); }));
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(session.running());
    EXPECT_FALSE(session.recording());
    const QDir folder(photos);
    const QStringList videos = folder.entryList({ "*.mp4" }, QDir::Files);
    ASSERT_EQ(videos.size(), 1);
    EXPECT_TRUE(IsPlayableVideo(folder.filePath(videos[0])));
    EXPECT_TRUE(folder.entryList({ QString(kRecordingFolderPrefix) + "*" }, QDir::Dirs | QDir::Hidden).isEmpty());
}
#endif

TEST_F(MainWindowTest, ClosingTheDocumentLeavesAnEmptyWindowWithDocumentCommandsDisabled)
{
    QAction* camera = Shown(ID_BUTTON_CAM_MANGER);
    QAction* sketch = Shown(ID_BUTTON_SKETCH);
    QAction* look = Shown(ID_VIEW_APPLOOK_OFF_2007_AQUA);
    ASSERT_TRUE(camera && sketch && look);
    EXPECT_TRUE(camera->isEnabled());

    EXPECT_TRUE(window->documentWindow()->close());
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->child(), nullptr);
    EXPECT_TRUE(window->mdiArea()->subWindowList().isEmpty());
    EXPECT_EQ(window->windowTitle(), "常言道");
    EXPECT_FALSE(camera->isEnabled());
    EXPECT_FALSE(sketch->isEnabled());
    camera->trigger(); // disabled: nothing happens, nothing crashes
    EXPECT_TRUE(look->isEnabled());
    look->trigger();
    EXPECT_EQ(window->look(), 218u);
    window->SetLook(219);
    EXPECT_TRUE(window->close());
}

} // namespace

namespace {

// A double-click on the picture is the camera's command like the ribbon button: it runs through
// the table, so the button, the status bar and the picture agree.
TEST_F(MainWindowTest, DoubleClickOnThePictureRunsTheCameraCommand)
{
    CWebcamCtl* picture = webcam();
    const QPoint at(10, 10);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, picture->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
        Qt::NoModifier);
    QCoreApplication::sendEvent(picture, &twice);
    EXPECT_TRUE(session().running());
    EXPECT_EQ(window->statusText(), "摄像头已经打开,可进行其他操作");
    EXPECT_TRUE(Shown(ID_BUTTON_CAM_MANGER)->isChecked());
    EXPECT_EQ(Shown(ID_BUTTON_CAM_MANGER)->text(), "关闭摄像机");
    QCoreApplication::sendEvent(picture, &twice);
    EXPECT_FALSE(session().running());
    EXPECT_EQ(window->statusText(), "摄像头已经关闭");
    EXPECT_FALSE(Shown(ID_BUTTON_CAM_MANGER)->isChecked());
}

// A colour picked from the picture for the cloth is told in the status bar, as red, green and blue,
// with a square of it; the next text takes the square away.
TEST_F(MainWindowTest, APickedClothColourIsToldWithASwatch)
{
    ASSERT_TRUE(session().Start());
    session().model().settings.Change([](PictureSettings& s) { ArmClothPick(s); });
    session().model().backdrop.PickColourAt({ 2, 2 }); // the scripted camera's blue 10, green 20, red 30
    ASSERT_TRUE(WaitUntil([&] { return window->statusSwatch()->isVisible(); }));
    EXPECT_TRUE(window->statusText().contains("RGB(30, 20, 10)")) << window->statusText().toStdString();
    const QImage square = window->statusSwatch()->pixmap().toImage();
    EXPECT_EQ(square.pixelColor(square.width() / 2, square.height() / 2), QColor(30, 20, 10));
    window->SetStatusText("照片已保存");
    EXPECT_FALSE(window->statusSwatch()->isVisible());
    session().Stop();
}

} // namespace

namespace {

QAction* KeyAction(const QWidget& window, const QKeySequence& keys)
{
    for (QAction* action : window.actions())
        if (action->shortcut() == keys)
            return action;
    return nullptr;
}

// The keys that need the camera say so while it is off, rather than do nothing.
TEST_F(MainWindowTest, CameraKeysAskForTheCameraWhileItIsOff)
{
    for (const char* keys : { "Space", "Ctrl+D", "Ctrl+R", "Ctrl+G" }) {
        QAction* key = KeyAction(*window, QKeySequence(QString::fromLatin1(keys)));
        ASSERT_NE(key, nullptr) << keys;
        window->SetStatusText(QString());
        key->trigger();
        EXPECT_EQ(window->statusText(), "请先开启摄像机") << keys;
    }
    EXPECT_FALSE(session().recording());
    EXPECT_FALSE(session().countdownActive());

    ASSERT_TRUE(session().Start());
    window->SetStatusText(QString());
    KeyAction(*window, QKeySequence("Ctrl+D"))->trigger();
    EXPECT_TRUE(session().countdownActive());
    KeyAction(*window, QKeySequence("Space"))->trigger();
    EXPECT_NE(window->statusText(), "请先开启摄像机");
}

// A closed document tab is not the end: the file menu's row, or a double-click on the empty
// area, brings the picture and the side pane back.
TEST_F(MainWindowTest, AClosedDocumentOpensAgainFromTheFileMenuOrADoubleClick)
{
    QAction* open = Shown(ID_OPEN_DOCUMENT);
    ASSERT_NE(open, nullptr);
    EXPECT_FALSE(open->isEnabled());
    ASSERT_TRUE(window->documentWindow()->close());
    QCoreApplication::processEvents();
    ASSERT_EQ(window->child(), nullptr);
    EXPECT_TRUE(open->isEnabled());

    open->trigger();
    ASSERT_NE(window->child(), nullptr);
    EXPECT_FALSE(open->isEnabled());
    EXPECT_TRUE(Shown(ID_BUTTON_CAM_MANGER)->isEnabled());
    Shown(ID_BUTTON_CAM_MANGER)->trigger(); // the new document's camera, through its commands
    EXPECT_TRUE(session().running());
    EXPECT_EQ(window->statusText(), "摄像头已经打开,可进行其他操作");
    Shown(ID_BUTTON_CAM_MANGER)->trigger();
    EXPECT_FALSE(session().running());

    ASSERT_TRUE(window->documentWindow()->close());
    QCoreApplication::processEvents();
    QWidget* empty = window->mdiArea()->viewport();
    const QPoint at(20, 20);
    QMouseEvent twice(QEvent::MouseButtonDblClick, at, empty->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
        Qt::NoModifier);
    QCoreApplication::sendEvent(empty, &twice);
    EXPECT_NE(window->child(), nullptr);
}

TEST_F(MainWindowTest, AReopenedDocumentLaysOutAsANewOneAtEveryDisplaySize)
{
    window->resize(1400, 800);
    QCoreApplication::processEvents();
    const int paneWidth = window->child()->pane()->width();
    const QRect firstPicture = webcam()->geometry();
    ASSERT_EQ(firstPicture.width(), 640);
    for (const CommandId size : { ID_BUTTON_SIZE1, ID_BUTTON_SIZE2, ID_BUTTON_SIZE3, ID_BUTTON_SIZE_FIT }) {
        Shown(size)->trigger();
        const QSize shown = webcam()->size();
        ASSERT_TRUE(window->documentWindow()->close());
        QCoreApplication::processEvents();
        Shown(ID_OPEN_DOCUMENT)->trigger();
        QCoreApplication::processEvents();
        ASSERT_NE(window->child(), nullptr);
        Shown(ID_BUTTON_CAM_MANGER)->trigger();
        ASSERT_TRUE(session().running());
        QCoreApplication::processEvents();
        // As a new document: the picture at full size beside the pane, whatever the last one showed.
        EXPECT_EQ(webcam()->geometry(), firstPicture) << "after showing " << shown.width() << " wide";
        EXPECT_TRUE(webcam()->isVisible());
        EXPECT_GE(window->child()->view()->width(), 640);
        EXPECT_EQ(window->child()->pane()->width(), paneWidth);
        Shown(ID_BUTTON_CAM_MANGER)->trigger();
    }
}

} // namespace
