#include "CommandRig.h"
#include "MainWindowRig.h"
#include "TestImages.h"

#include "app/CPhotoViewer.h"
#include "app/ribbon/CommandActions.h"
#include "pipeline/PictureCommands.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QSplitter>
#include <QSplitterHandle>

#include <opencv2/videoio.hpp>

#include <map>

namespace {

// The viewer over a photo folder with a photo, a GIF, a video and an older photo, named by the
// time they were taken; the commands act on what it shows, boxes and the trash are recorded.
class PhotoViewerTest : public CommandRig {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(trash.isValid());
        shell.trashFolder = trash.path();
        CommandRig::SetUp();
        QImage older(64, 48, QImage::Format_RGB32);
        older.fill(QColor(20, 40, 200));
        ASSERT_TRUE(older.save(Photo(kOldest)));
        const QColor palette[3] = { QColor(255, 0, 0), QColor(0, 255, 0), QColor(0, 0, 255) };
        ASSERT_TRUE(testimages::WriteGif(Photo(kGif), 32, 24, { { 0, 10 }, { 1, 10 }, { 2, 10 } }, palette));
        QImage photo(64, 48, QImage::Format_RGB32);
        photo.fill(QColor(200, 30, 30));
        ASSERT_TRUE(photo.save(Photo(kPhoto)));
        cv::VideoWriter writer(QFile::encodeName(Photo(kVideo)).toStdString(), cv::CAP_FFMPEG,
            cv::VideoWriter::fourcc('m', 'p', '4', 'v'), 10, cv::Size(64, 48));
        ASSERT_TRUE(writer.isOpened());
        for (int i = 0; i < 4; ++i)
            writer.write(cv::Mat(48, 64, CV_8UC3, cv::Scalar(0, i < 2 ? 220 : 20, 30)));
        writer.release();

        actions = std::make_unique<CommandActions>(table, *context);
        viewer = std::make_unique<CPhotoViewer>(*actions);
        context->viewer = viewer.get();
    }
    void TearDown() override
    {
        context->viewer = nullptr;
        viewer.reset();
        CommandRig::TearDown();
    }

    QString Photo(const char* name) const { return QDir(PathToQString(folders.photoDir)).filePath(name); }
    QString Shown() const { return QFileInfo(viewer->shownPath()).fileName(); }
    // A row as its button in the viewer runs it: with nothing but the viewer to act on.
    void Press(CommandId id)
    {
        actions->Refresh();
        QAction* action = actions->Action(id);
        ASSERT_TRUE(action->isEnabled()) << id;
        action->trigger();
    }
    bool Offered(CommandId id)
    {
        actions->Refresh();
        return actions->Action(id)->isEnabled();
    }

    static constexpr const char* kVideo = "2026-5-3-21-5-12.mp4";
    static constexpr const char* kPhoto = "2026-5-3-21-5-11.jpg";
    static constexpr const char* kGif = "2026-5-3-21-5-10.gif";
    static constexpr const char* kOldest = "2026-5-3-21-5-9.jpg";

    QTemporaryDir trash;
    std::unique_ptr<CommandActions> actions;
    std::unique_ptr<CPhotoViewer> viewer;
};

// The arrows go through the folder as the photos strip shows it, newest first, and stop at
// either end; the keys are the viewer's own.
TEST_F(PhotoViewerTest, ArrowsGoThroughTheStripsOrderAndStopAtTheEnds)
{
    viewer->ShowFile(Photo(kGif));
    EXPECT_EQ(viewer->count(), 4);
    EXPECT_EQ(viewer->place(), 2);
    Press(ID_VIEWER_NEXT);
    EXPECT_EQ(Shown(), kOldest);
    EXPECT_FALSE(Offered(ID_VIEWER_NEXT));
    for (const char* expected : { kGif, kPhoto, kVideo }) {
        Press(ID_VIEWER_PREVIOUS);
        EXPECT_EQ(Shown(), expected);
    }
    EXPECT_FALSE(Offered(ID_VIEWER_PREVIOUS));
    EXPECT_TRUE(Offered(ID_VIEWER_NEXT));
    EXPECT_EQ(table.Shortcut(ID_VIEWER_NEXT), QKeySequence(Qt::Key_Right));
    EXPECT_TRUE(viewer->actions().contains(actions->Find(ID_VIEWER_NEXT)));
    EXPECT_TRUE(viewer->actions().contains(actions->Find(ID_PHOTO_DELETE)));

    // A photo taken meanwhile is the newest: it comes before.
    QImage newest(8, 8, QImage::Format_RGB32);
    newest.fill(Qt::white);
    ASSERT_TRUE(newest.save(Photo("2026-5-3-21-6-0.jpg")));
    table.Run(ID_VIEWER_PREVIOUS, *context);
    EXPECT_EQ(Shown(), "2026-5-3-21-6-0.jpg");

    Press(ID_VIEWER_CLOSE);
    EXPECT_FALSE(viewer->isVisible());
    EXPECT_TRUE(viewer->shownPath().isEmpty());
    EXPECT_FALSE(Offered(ID_PHOTO_DELETE));
}

// Deleting the shown file asks (over the viewer), moves it to the trash and shows the next one;
// the last of the row makes way for the one before it, and an emptied folder says so.
TEST_F(PhotoViewerTest, DeletingTheShownFileMovesOnToTheNext)
{
    viewer->ShowFile(Photo(kPhoto));
    boxes.answer = MessageChoice::Ok;
    Press(ID_PHOTO_DELETE);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].parent, viewer.get());
    EXPECT_FALSE(QFileInfo::exists(Photo(kPhoto)));
    EXPECT_TRUE(QFileInfo::exists(QDir(trash.path()).filePath(kPhoto)));
    EXPECT_EQ(Shown(), kGif);
    EXPECT_EQ(viewer->count(), 3);
    EXPECT_TRUE(viewer->note().startsWith("已移到回收站")) << viewer->note().toStdString();

    viewer->ShowFile(Photo(kOldest));
    Press(ID_PHOTO_DELETE);
    EXPECT_EQ(Shown(), kGif);

    boxes.answer = MessageChoice::Cancel; // kept: still shown, still playing
    Press(ID_PHOTO_DELETE);
    EXPECT_EQ(Shown(), kGif);
    EXPECT_TRUE(viewer->moving());

    boxes.answer = MessageChoice::Ok;
    Press(ID_PHOTO_DELETE);
    Press(ID_PHOTO_DELETE);
    EXPECT_TRUE(viewer->shownPath().isEmpty());
    EXPECT_TRUE(viewer->message().contains("没有")) << viewer->message().toStdString();
    EXPECT_FALSE(Offered(ID_PHOTO_COPY));
    EXPECT_TRUE(Offered(ID_VIEWER_CLOSE));
}

// A damaged file and one that went say so in the viewer; the row goes on past them.
TEST_F(PhotoViewerTest, DamagedAndVanishedFilesSaySoInsteadOfAPicture)
{
    QFile damaged(Photo("2026-5-3-21-5-10_02.jpg"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("\xFF\xD8\xFF\xE0 not a photo at all");
    damaged.close();
    QFile video(Photo("2026-5-3-21-5-13.mp4"));
    ASSERT_TRUE(video.open(QIODevice::WriteOnly));
    video.write(QByteArray(4096, 'x'));
    video.close();

    for (const char* name : { "2026-5-3-21-5-10_02.jpg", "2026-5-3-21-5-13.mp4" }) {
        viewer->ShowFile(Photo(name));
        SCOPED_TRACE(name);
        EXPECT_EQ(Shown(), name);
        EXPECT_TRUE(viewer->shownPicture().isNull());
        EXPECT_TRUE(viewer->message().contains(name)) << viewer->message().toStdString();
        EXPECT_TRUE(viewer->message().contains("损坏"));
        EXPECT_FALSE(Offered(ID_PHOTO_COPY));
        EXPECT_TRUE(Offered(ID_PHOTO_DELETE));
        viewer->grab(); // painting the sentence
    }
    Press(ID_VIEWER_NEXT);
    EXPECT_EQ(Shown(), kVideo);
    EXPECT_FALSE(viewer->shownPicture().isNull());

    // A few bytes that announce a picture larger than one decode may make.
    ASSERT_TRUE(testimages::WriteSparseGif(Photo("2026-5-3-21-4-1.gif"), 9000, 9000, 3, 5));
    viewer->ShowFile(Photo("2026-5-3-21-4-1.gif"));
    EXPECT_TRUE(viewer->message().contains("太大")) << viewer->message().toStdString();

    viewer->ShowFile(Photo("2026-5-3-21-4-0.jpg"));
    EXPECT_TRUE(viewer->message().contains("找不到")) << viewer->message().toStdString();
    EXPECT_FALSE(Offered(ID_PHOTO_DELETE));
}

// A GIF plays frame after frame and starts over; paused, it holds its frame.
TEST_F(PhotoViewerTest, AGifAdvancesFramesAndStartsOver)
{
    viewer->ShowFile(Photo(kGif));
    ASSERT_TRUE(viewer->moving());
    EXPECT_TRUE(viewer->playing());
    Press(ID_VIEWER_PLAY); // the test moves the frames itself
    EXPECT_FALSE(viewer->playing());
    EXPECT_EQ(*table.Update(ID_VIEWER_PLAY, *context).caption, "播放");
    const auto colour = [&] { return QColor(viewer->shownPicture().pixel(16, 12)); };
    EXPECT_EQ(colour(), QColor(255, 0, 0));
    viewer->AdvanceClip();
    EXPECT_EQ(colour(), QColor(0, 255, 0));
    viewer->AdvanceClip();
    EXPECT_EQ(colour(), QColor(0, 0, 255));
    viewer->AdvanceClip();
    EXPECT_EQ(colour(), QColor(255, 0, 0));
}

// Copy puts what is shown on the clipboard: the photo, and a video's frame as it plays.
TEST_F(PhotoViewerTest, CopyPutsTheShownPictureOnTheClipboard)
{
    viewer->ShowFile(Photo(kPhoto));
    QGuiApplication::clipboard()->clear();
    Press(ID_PHOTO_COPY);
    QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(64, 48));
    EXPECT_NEAR(QColor(copied.pixel(30, 20)).red(), 200, 8);

    viewer->ShowFile(Photo(kVideo));
    ASSERT_TRUE(viewer->moving());
    viewer->SetPlaying(false);
    EXPECT_GT(QColor(viewer->shownPicture().pixel(30, 20)).green(), 180);
    viewer->AdvanceClip();
    viewer->AdvanceClip(); // the third frame: dark green
    Press(ID_PHOTO_COPY);
    copied = QGuiApplication::clipboard()->image();
    ASSERT_EQ(copied.size(), QSize(64, 48));
    EXPECT_LT(QColor(copied.pixel(30, 20)).green(), 60);
    viewer->AdvanceClip();
    viewer->AdvanceClip(); // past the end: the first frame again
    EXPECT_GT(QColor(viewer->shownPicture().pixel(30, 20)).green(), 180);
}

class PhotoViewerWindowTest : public MainWindowRig {};

// In the program, a double-click on a photo of the strip opens the viewer (not the desktop's
// program), whose arrow keys are its own: the main window's arrows stay with the effects' pages.
TEST_F(PhotoViewerWindowTest, ADoubleClickedPhotoOpensInTheViewerWithKeysOfItsOwn)
{
    RecordingShell shell;
    ScopedShell installShell(shell);
    window.reset();
    window = MakeWindow(); // with the recording shell
    const QString photo = QDir(PathToQString(folders.photoDir)).filePath("2026-1-1-1-1-1.jpg");
    ASSERT_TRUE(QDir().mkpath(QFileInfo(photo).absolutePath()));
    QImage(20, 10, QImage::Format_RGB32).save(photo);
    emit window->child()->pane()->photoActivated(photo);
    ASSERT_NE(window->viewer(), nullptr);
    EXPECT_TRUE(window->viewer()->isVisible());
    EXPECT_EQ(window->viewer()->shownPath(), photo);
    EXPECT_TRUE(shell.opened.empty());
    QAction* next = window->actions().Find(ID_VIEWER_NEXT);
    ASSERT_NE(next, nullptr);
    EXPECT_TRUE(window->viewer()->actions().contains(next));
    EXPECT_FALSE(window->QWidget::actions().contains(next));

    window->actions().Run(ID_PHOTO_OPEN); // 打开方式 in the viewer: the desktop's program
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], photo);
    session().Stop();
    window.reset(); // before the shell it was given goes
}

// The side pane folds away for the picture and comes back at its width, by the row, its key and
// a double-click on the splitter's handle; the fitted picture takes the room.
TEST_F(PhotoViewerWindowTest, TheSidePaneFoldsAwayAndComesBackAtItsWidth)
{
    CChildFrame* child = window->child();
    QSplitter* splitter = child->splitter();
    window->SetDisplaySize(kDisplayFit);
    QCoreApplication::processEvents();
    const QList<int> before = splitter->sizes();
    ASSERT_GT(before[1], 0);
    const int fittedWidth = webcam()->width();
    EXPECT_EQ(window->commands().Shortcut(ID_VIEW_SIDE_PANE), QKeySequence(Qt::Key_F9));
    EXPECT_TRUE(*window->commands().Update(ID_VIEW_SIDE_PANE, window->commandContext()).pressed);

    window->actions().Run(ID_VIEW_SIDE_PANE);
    QCoreApplication::processEvents();
    EXPECT_FALSE(child->paneShown());
    EXPECT_EQ(splitter->sizes()[1], 0);
    EXPECT_EQ(splitter->sizes()[0], before[0] + before[1]);
    EXPECT_GE(webcam()->width(), fittedWidth);
    EXPECT_LE(webcam()->width(), splitter->sizes()[0]);
    EXPECT_FALSE(*window->commands().Update(ID_VIEW_SIDE_PANE, window->commandContext()).pressed);

    // A wider window keeps the pane folded: the room goes to the picture.
    window->resize(window->width() + 100, window->height());
    QCoreApplication::processEvents();
    EXPECT_EQ(splitter->sizes()[1], 0);
    window->resize(window->width() - 100, window->height());
    QCoreApplication::processEvents();

    QSplitterHandle* handle = splitter->handle(1);
    ASSERT_TRUE(handle->isVisible());
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(1, 5), handle->mapToGlobal(QPointF(1, 5)), Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(handle, &click);
    QCoreApplication::processEvents();
    EXPECT_TRUE(child->paneShown());
    EXPECT_EQ(splitter->sizes(), before);

    window->actions().Run(ID_VIEW_FULL_SCREEN); // no pane to fold on the whole screen
    EXPECT_FALSE(window->commands().Update(ID_VIEW_SIDE_PANE, window->commandContext()).enabled);
    window->actions().Run(ID_VIEW_FULL_SCREEN);
}

// Strokes come off with Ctrl+Z while the camera runs; a clear, taken back, shows the drawing.
TEST_F(CommandRig, DoodleUndoTakesBackStrokesAndAClear)
{
    EXPECT_EQ(table.Shortcut(ID_PAINT_UNDO), QKeySequence("Ctrl+Z"));
    EXPECT_FALSE(Update(ID_PAINT_UNDO).enabled);
    ASSERT_TRUE(session().Start());
    DoodleLayer& doodle = webcam()->model().doodle;
    EXPECT_FALSE(Update(ID_PAINT_UNDO).enabled);
    Run(ID_BUTTON_MOUSE_PAINT);
    doodle.BeginStroke({ 10, 10 });
    doodle.ExtendStroke({ 200, 100 }, cv::Scalar(0, 0, 255), 8);
    doodle.EndStroke();
    const cv::Mat drawn = doodle.Canvas();
    EXPECT_TRUE(Update(ID_PAINT_UNDO).enabled);
    Run(ID_BUTTON_PAINT_CLEAR); // the ink goes; the pen stays in the hand
    EXPECT_EQ(doodle.Canvas().at<cv::Vec3b>(10, 10), kDoodleKey);
    EXPECT_TRUE(MousePaintPressed(webcam()->model().settings.Snapshot()));
    Run(ID_PAINT_UNDO);
    EXPECT_TRUE(webcam()->model().settings.Snapshot().doodleShown);
    EXPECT_EQ(cv::norm(doodle.Canvas(), drawn, cv::NORM_INF), 0.0);
    Run(ID_PAINT_UNDO);
    EXPECT_EQ(doodle.Canvas().at<cv::Vec3b>(10, 10), kDoodleKey);
    EXPECT_FALSE(Update(ID_PAINT_UNDO).enabled);
}

// Each key of the main window does one thing, and so does each key of the viewer.
TEST(CommandKeys, NoTwoRowsShareAKeyInOnePlace)
{
    EnsureQtApp();
    const CommandTable table = BuildCommandTable();
    for (const KeyPlace place : { KeyPlace::MainWindow, KeyPlace::Viewer }) {
        std::map<QString, CommandId> taken;
        for (const CommandRow* row : table.rows()) {
            if (*row->shortcut == '\0' || row->keyPlace != place)
                continue;
            const QString keys = QKeySequence(QString::fromUtf8(row->shortcut)).toString();
            const auto [it, fresh] = taken.emplace(keys, row->id);
            EXPECT_TRUE(fresh) << keys.toStdString() << ": " << row->id << " and " << it->second;
        }
    }
    EXPECT_EQ(table.Shortcut(ID_BURST_STRIP), QKeySequence("Ctrl+B"));
    EXPECT_TRUE(table.ToolTip(ID_GIF_SECONDS_5).contains(QKeySequence("Ctrl+Shift+5").toString(QKeySequence::NativeText)))
        << table.ToolTip(ID_GIF_SECONDS_5).toStdString();
}

} // namespace
