#include "CommandRig.h"

#include "app/CMainFrame.h"
#include "app/CTimeSetDlg.h"
#include "decorations/Photostrip.h"
#include "pipeline/capture/TestSceneSource.h"
#include "ui/Sounds.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

namespace {

class DelayedPhotoTest : public CommandRig {
protected:
    // The camera runs but the loop takes no frames, so a photo request stays to be seen.
    void StartHeldCamera()
    {
        ASSERT_TRUE(session().Start());
        session().loop().paused = true;
    }
    void Step(quint64 ms)
    {
        now += ms;
        session().CountdownStep();
    }
    QString Caption() const { return *Update(ID_BUTTON_PHOTO_DELAY).caption; }
    bool PhotoAsked() const { return webcam()->model().photos.requested(); }
};

TEST_F(DelayedPhotoTest, CaptionAndPictureCountTheSecondsDownAndThePhotoIsAskedForAtZero)
{
    StartHeldCamera();
    EXPECT_EQ(Caption(), "延时拍照");
    Run(ID_BUTTON_PHOTO_DELAY);
    std::vector<QString> captions;
    for (int i = 0; i < 5; ++i) {
        EXPECT_TRUE(*Update(ID_BUTTON_PHOTO_DELAY).pressed);
        EXPECT_EQ(webcam()->countdownShown(), 5 - i);
        EXPECT_FALSE(PhotoAsked());
        captions.push_back(Caption());
        Step(1000);
    }
    EXPECT_EQ(captions, (std::vector<QString> { "5", "4", "3", "2", "1" }));
    EXPECT_TRUE(PhotoAsked());
    EXPECT_EQ(Caption(), "延时拍照");
    EXPECT_FALSE(*Update(ID_BUTTON_PHOTO_DELAY).pressed);
    EXPECT_EQ(webcam()->countdownShown(), 0);
    EXPECT_TRUE(webcam()->flashing());
}

TEST_F(DelayedPhotoTest, AStepNeedsAWholeSecondSinceTheLastStepAndStartingAgainRestarts)
{
    values.delaySeconds = 1;
    StartHeldCamera();
    Run(ID_BUTTON_PHOTO_DELAY);
    Step(999); // a little early: no step
    EXPECT_FALSE(PhotoAsked());
    Step(1);
    EXPECT_TRUE(PhotoAsked());

    values.delaySeconds = 5;
    Run(ID_BUTTON_PHOTO_DELAY);
    Step(2500); // late: still one step, and the next second counts from it
    Step(999);
    EXPECT_EQ(Caption(), "4");
    Run(ID_BUTTON_PHOTO_DELAY);
    EXPECT_EQ(Caption(), "5");
    Step(999); // over a second since the last step, but not since the restart
    EXPECT_EQ(Caption(), "5");
}

TEST_F(DelayedPhotoTest, StoppedCameraNeitherStartsNorKeepsACountdown)
{
    Run(ID_BUTTON_PHOTO_DELAY);
    EXPECT_FALSE(session().countdownActive());
    EXPECT_EQ(webcam()->countdownShown(), 0);

    StartHeldCamera();
    Run(ID_BUTTON_PHOTO_DELAY);
    Step(1000);
    Run(ID_BUTTON_CAM_MANGER);
    EXPECT_FALSE(session().countdownActive());
    EXPECT_EQ(Caption(), "延时拍照");
    EXPECT_EQ(webcam()->countdownShown(), 0);
    StartHeldCamera(); // nothing carries over into the next run
    Step(10000);
    EXPECT_FALSE(session().countdownActive());
    EXPECT_FALSE(PhotoAsked());
}

TEST_F(DelayedPhotoTest, TheLastThreeSecondsTickAndThePhotoClicksUnlessSoundIsSwitchedOff)
{
    RecordingSounds heard;
    ScopedSounds install(heard);
    const bool wasOn = SoundOn();
    SetSoundOn(true);
    values.delaySeconds = 4;
    StartHeldCamera();
    EXPECT_TRUE(*Update(ID_SOUND).pressed);
    Run(ID_BUTTON_PHOTO_DELAY);
    for (int i = 0; i < 4; ++i)
        Step(1000);
    EXPECT_EQ(heard.played, (std::vector<Sound> { Sound::Tick, Sound::Tick, Sound::Tick, Sound::Shutter }));

    // 声音 off: silent, remembered for the next start, and the flash still comes.
    Run(ID_SOUND);
    EXPECT_FALSE(*Update(ID_SOUND).pressed);
    EXPECT_FALSE(QSettings().value("Sound", true).toBool());
    heard.played.clear();
    Run(ID_BUTTON_PHOTO_DELAY);
    for (int i = 0; i < 4; ++i)
        Step(1000);
    Run(ID_PHOTO_NOW);
    EXPECT_TRUE(PhotoAsked());
    EXPECT_TRUE(webcam()->flashing());
    EXPECT_TRUE(heard.played.empty());

    Run(ID_SOUND);
    EXPECT_TRUE(*Update(ID_SOUND).pressed);
    EXPECT_TRUE(QSettings().value("Sound", false).toBool());
    SetSoundOn(wasOn);
}

TEST_F(DelayedPhotoTest, DialogShowsTheDelayRefusesBadEntriesAndStoresAGoodOne)
{
    Run(ID_BUTTON_TIME_SET);
    Run(ID_BUTTON_TIME_SET); // brings the open one forward
    const auto dialogs = view()->findChildren<CTimeSetDlg*>();
    ASSERT_EQ(dialogs.size(), 1);
    CTimeSetDlg& dialog = *dialogs.front();
    EXPECT_TRUE(dialog.isVisible() && dialog.isModal());
    EXPECT_EQ(dialog.windowTitle(), "延时设置");
    EXPECT_EQ(dialog.delayField()->text(), "5");
    EXPECT_EQ(dialog.font().family(), CTimeSetDlg::FontFamily());
    for (const QLabel* label : { dialog.delayLabel(), dialog.unitLabel() }) // dialog units fit the texts
        EXPECT_GE(label->width(), QFontMetrics(label->font()).horizontalAdvance(label->text()));

    const std::string before = WorkbookBytes();
    const QString tooLong = QString("延时时间最长为%1秒,请重新设置~").arg(kMaxDelaySeconds);
    const std::vector<std::pair<QString, QString>> refused { { "0", "时间非负,请重新设置~" },
        { "-3", "时间非负,请重新设置~" }, { "abc", "请输入一个整数~" }, { "", "请输入一个整数~" },
        { "1.5", "请输入一个整数~" }, { "4294967297", "请输入一个整数~" }, { "3601", tooLong } };
    for (const auto& [entry, message] : refused) {
        boxes.shown.clear();
        dialog.delayField()->setText(entry);
        dialog.okButton()->click();
        ASSERT_EQ(boxes.shown.size(), 1u) << entry.toStdString();
        EXPECT_EQ(boxes.shown[0].text, message);
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_EQ(dialog.focusWidget(), dialog.delayField());
    }
    EXPECT_EQ(boxes.shown[0].caption, "乐影屋");
    EXPECT_EQ(values.delaySeconds, 5);
    EXPECT_EQ(WorkbookBytes(), before);

    dialog.delayField()->setText(" 12 ");
    dialog.okButton()->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(values.delaySeconds, 12);
    ExcelDocument doc;
    ASSERT_TRUE(doc.OpenBook(SettingsWorkbookPath(folders.systemDir)).ok());
    EXPECT_EQ(doc.SheetAt(0)->CellAt(7, 1)->Type(), CellType::Integer);
    AppFolders nextFolders = folders;
    SettingsValues next;
    ASSERT_TRUE(LoadSettings(nextFolders, next).ok());
    EXPECT_EQ(next.delaySeconds, 12);

    // The next countdown takes the new delay.
    StartHeldCamera();
    Run(ID_BUTTON_PHOTO_DELAY);
    EXPECT_EQ(Caption(), "12");
}

TEST_F(DelayedPhotoTest, CancelChangesNothingAndAMissingWorkbookKeepsTheDelayForThisRun)
{
    const std::string before = WorkbookBytes();
    CTimeSetDlg cancelled(folders, values);
    cancelled.open();
    cancelled.delayField()->setText("30");
    cancelled.cancelButton()->click();
    EXPECT_EQ(values.delaySeconds, 5);
    EXPECT_EQ(WorkbookBytes(), before);

    std::filesystem::remove(SettingsWorkbookPath(folders.systemDir));
    CTimeSetDlg accepted(folders, values);
    accepted.open();
    accepted.delayField()->setText("7");
    accepted.accept();
    EXPECT_FALSE(accepted.isVisible());
    EXPECT_EQ(values.delaySeconds, 7);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(SettingsWorkbookPath(folders.systemDir)));
}

TEST(DelayedPhotoEndToEnd, TheTestSceneIsPhotographedAfterTheCountdownAndShownInThePhotoStrip)
{
    EnsureQtApp();
    QTemporaryDir dir;
    const AppFolders folders = AppFolders::FromAppDir(QStringToPath(dir.path()));
    const QDir photoDir(PathToQString(folders.photoDir));
    ASSERT_TRUE(QDir().mkpath(photoDir.path()));
    RecordingMessageBoxes boxes;
    ScopedMessageBoxes install(boxes);
    SettingsValues values;
    values.delaySeconds = 2;
    CMainFrame window(folders, values, [] { return std::make_unique<TestSceneSource>(false); });
    window.show();
    quint64 now = 5000;
    PictureSession& session = window.child()->view()->session();
    session.SetTickSource([&now] { return now; });

    ASSERT_TRUE(window.commands().Run(ID_BUTTON_CAM_MANGER, window.commandContext()));
    ASSERT_TRUE(window.commands().Run(ID_BUTTON_PHOTO_DELAY, window.commandContext()));
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(photoDir.entryList({ "*.jpg" }, QDir::Files).isEmpty());
        now += 1000;
        session.CountdownStep();
    }
    ASSERT_TRUE(WaitUntil([&] { return window.child()->pane()->photoStrip()->thumbnails().size() == 1; }, 5000));
    const QStringList saved = photoDir.entryList({ "*.jpg" }, QDir::Files);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(QImage(photoDir.filePath(saved.front())).size(), QSize(640, 480));
    window.commands().Run(ID_BUTTON_CAM_MANGER, window.commandContext());
}

} // namespace
