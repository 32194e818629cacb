#include "QtTestApp.h"
#include "../pipeline/ScriptedSource.h"

#include "app/AppFolders.h"
#include "app/CChildFrame.h"
#include "app/CParvelWebcamView.h"
#include "app/CommandLine.h"
#include "decorations/CFrameView.h"
#include "ui/MessageBoxes.h"
#include "decorations/Photostrip.h"
#include "pipeline/CWebcamCtl.h"
#include "pipeline/compose/OverlayStore.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QSplitter>
#include <QTemporaryDir>

namespace {

class WorkspaceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQtApp();
        folders = AppFolders::FromAppDir(dir.path().toStdString());
        state = std::make_shared<ScriptedSourceState>();
    }

    std::unique_ptr<CParvelWebcamView> ShowView(int width = 640, int height = 480, int viewHeight = 560)
    {
        SettingsValues values;
        values.imageWidth = width;
        values.imageHeight = height;
        values.cameraDetected = 1; // measured before: this size is the camera's
        auto view = std::make_unique<CParvelWebcamView>(folders, values, ScriptedFactory(state));
        view->resize(width, viewHeight);
        view->show();
        return view;
    }

    QTemporaryDir dir;
    AppFolders folders;
    std::shared_ptr<ScriptedSourceState> state;
    RecordingMessageBoxes boxes;
    ScopedMessageBoxes install { boxes };
};

TEST_F(WorkspaceTest, DisplaySizesScaleThePictureAndKeepTheMovieStrip)
{
    auto view = ShowView();
    ASSERT_TRUE(view->layoutDone());
    CWebcamCtl* webcam = view->webcam();
    EXPECT_EQ(webcam->geometry(), QRect(0, 0, 640, 480));
    EXPECT_EQ(view->movieRect(), QRect(0, 480, 640, 60));

    view->SetDisplaySize(kDisplayHalf);
    EXPECT_EQ(webcam->size(), QSize(320, 240));
    EXPECT_FLOAT_EQ(webcam->scaleX(), 2.0f);
    view->SetDisplaySize(kDisplayThreeQuarters);
    EXPECT_EQ(webcam->size(), QSize(480, 360));
    EXPECT_FLOAT_EQ(webcam->scaleY(), 1.3333334f);
    EXPECT_EQ(view->movieRect(), QRect(0, 480, 640, 60)); // the strip stays where it is
}

TEST_F(WorkspaceTest, OddWidthAtThreeQuartersTruncatesAndShortViewsGetAShortStrip)
{
    auto view = ShowView(642, 480, 500);
    view->SetDisplaySize(kDisplayThreeQuarters);
    EXPECT_EQ(view->webcam()->displayWidth(), 481);
    EXPECT_EQ(view->movieRect().height(), 20);
}


TEST_F(WorkspaceTest, ChildFrameSplitsPictureAndPaneAndPassesPhotosToThePane)
{
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folders.photoDir.string())));
    SettingsValues values;
    CChildFrame frame(folders, values, ScriptedFactory(state), QSize(1000, 700));
    frame.resize(1000, 560);
    frame.show();
    QCoreApplication::processEvents();
    const QList<int> sizes = frame.splitter()->sizes();
    ASSERT_EQ(sizes.size(), 2);
    EXPECT_EQ(sizes[0], 640);
    EXPECT_GT(sizes[1], 300);
    EXPECT_TRUE(frame.pane()->laidOut());

    CWebcamCtl* webcam = frame.view()->webcam();
    ASSERT_TRUE(webcam->session().Start());
    webcam->model().photos.Request();
    EXPECT_TRUE(WaitUntil([&] { return frame.pane()->photoStrip()->thumbnails().size() == 1; }));
    webcam->session().Stop();
}

TEST(CommandLineTest, SourceDefaultsToCameraZeroAndRejectsUnknownArguments)
{
    EXPECT_EQ(CommandLine::Parse({ "parvelwebcam" }).source, "0");
    EXPECT_EQ(CommandLine::Parse({ "parvelwebcam", "--source", "test" }).source, "test");
    EXPECT_EQ(CommandLine::Parse({ "parvelwebcam", "--source=/dev/video2" }).source, "/dev/video2");
    EXPECT_FALSE(CommandLine::Parse({ "parvelwebcam", "--bogus" }).ok);
    EXPECT_FALSE(CommandLine::Parse({ "parvelwebcam", "--source=" }).ok);
}

TEST(CommandLineTest, StatsIsOffUnlessAsked)
{
    EXPECT_FALSE(CommandLine::Parse({ "parvelwebcam", "--source", "test" }).stats);
    const CommandLine asked = CommandLine::Parse({ "parvelwebcam", "--stats", "--source", "test:1920x1080" });
    EXPECT_TRUE(asked.ok);
    EXPECT_TRUE(asked.stats);
    EXPECT_EQ(asked.source, "test:1920x1080");
}

} // namespace
