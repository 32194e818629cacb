#include "CommandRig.h"

#include "app/ribbon/CommandActions.h"

#include "app/PhotoMenu.h"
#include "decorations/Photostrip.h"
#include "pipeline/record/BurstStrip.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QImageReader>
#include <QMenu>

#include <opencv2/videoio.hpp>

#include <chrono>

namespace {

class RecordRowsTest : public CommandRig {
protected:
    QStringList Files(const QString& pattern) const
    {
        return QDir(PathToQString(folders.photoDir)).entryList({ pattern }, QDir::Files, QDir::Name);
    }
};

TEST_F(RecordRowsTest, RecordTogglesWithItsCaptionAndIsIgnoredWhileTheCameraIsStopped)
{
    EXPECT_FALSE(Update(ID_RECORD_VIDEO).enabled);
    table.Run(ID_RECORD_VIDEO, *context);
    EXPECT_FALSE(session().recording());
    EXPECT_EQ(table.Shortcut(ID_RECORD_VIDEO), QKeySequence("Ctrl+R"));

    ASSERT_TRUE(session().Start());
    EXPECT_TRUE(Update(ID_RECORD_VIDEO).enabled);
    EXPECT_EQ(*Update(ID_RECORD_VIDEO).caption, "开始录像");
    EXPECT_FALSE(*Update(ID_RECORD_VIDEO).pressed);
    Run(ID_RECORD_VIDEO);
    EXPECT_TRUE(session().recording());
    EXPECT_TRUE(status.startsWith("正在录像")) << status.toStdString();
    EXPECT_EQ(*Update(ID_RECORD_VIDEO).caption, "停止录像");
    EXPECT_TRUE(*Update(ID_RECORD_VIDEO).pressed);

    QStringList saved;
    QObject::connect(&session(), &PictureSession::videoSaved, [&](const QString& p) { saved << p; });
    ASSERT_TRUE(WaitUntil([&] { return state->reads > 10; }));
    Run(ID_RECORD_VIDEO);
    EXPECT_FALSE(session().recording());
    EXPECT_EQ(*Update(ID_RECORD_VIDEO).caption, "开始录像");
    ASSERT_TRUE(WaitUntil([&] { return !saved.isEmpty(); }));
    EXPECT_EQ(Files("*.mp4").size(), 1);
}

TEST_F(RecordRowsTest, StoppingTheCameraEndsTheRecording)
{
    ASSERT_TRUE(session().Start());
    Run(ID_RECORD_VIDEO);
    ASSERT_TRUE(session().recording());
    ASSERT_TRUE(WaitUntil([&] { return state->reads > 5; }));
    Run(ID_BUTTON_CAM_MANGER);
    EXPECT_FALSE(session().recording());
    EXPECT_FALSE(Update(ID_RECORD_VIDEO).enabled);
    ASSERT_TRUE(WaitUntil([&] { return Files("*.mp4").size() == 1; }, 15000)); // the encoder finishes on its thread
}

TEST_F(RecordRowsTest, GifSecondsAreChosenFromTheDropDownAndTheGifIsSaved)
{
    EXPECT_TRUE(*Update(ID_GIF_SECONDS_3).pressed); // the default
    Run(ID_GIF_SECONDS_2);
    EXPECT_TRUE(*Update(ID_GIF_SECONDS_2).pressed);
    EXPECT_FALSE(*Update(ID_GIF_SECONDS_3).pressed);
    EXPECT_FALSE(*Update(ID_GIF_SECONDS_5).pressed);

    ASSERT_TRUE(session().Start());
    Run(ID_RECORD_GIF);
    EXPECT_TRUE(*Update(ID_RECORD_GIF).pressed);
    ASSERT_TRUE(WaitUntil([&] { return Files("*.gif").size() == 1; }, 15000));
    QImageReader reader(QDir(PathToQString(folders.photoDir)).filePath(Files("*.gif").front()));
    EXPECT_EQ(reader.imageCount(), 20);
}

TEST_F(RecordRowsTest, BurstTakesFourPhotosOneSecondApartAndSavesTheirStrip)
{
    auto clock = std::chrono::steady_clock::time_point() + std::chrono::hours(1);
    session().SetBurstClock([&clock] { return clock; });
    values.delaySeconds = 1;
    int flashes = 0;
    ASSERT_TRUE(session().Start());
    Run(ID_BURST_STRIP);
    EXPECT_TRUE(session().burstActive());
    EXPECT_EQ(webcam()->countdownShown(), 1);
    now += 1000;
    session().CountdownStep(); // the countdown ends: the first shot
    for (int shot = 1; shot <= 4; ++shot) {
        EXPECT_EQ(session().burstShotsTaken(), shot);
        flashes += webcam()->flashing() ? 1 : 0;
        ASSERT_TRUE(WaitUntil([&] { return Files("*.jpg").size() >= static_cast<qsizetype>(shot); }, 5000)) << shot;
        session().BurstStep(); // not yet due: nothing
        EXPECT_EQ(session().burstShotsTaken(), shot);
        clock += std::chrono::seconds(1);
        session().BurstStep();
    }
    EXPECT_EQ(flashes, 4);
    ASSERT_TRUE(WaitUntil([&] { return Files("*.jpg").size() == 5; }, 5000));
    EXPECT_FALSE(session().burstActive());
    // The strip is the largest of the five, laid out from a 640 × 480 shot.
    const BurstStripLayout layout = LayOutBurstStrip({ 640, 480 });
    int strips = 0;
    for (const QString& name : Files("*.jpg")) {
        const QSize size = QImageReader(QDir(PathToQString(folders.photoDir)).filePath(name)).size();
        if (size == QSize(layout.card.width, layout.card.height)) {
            ++strips;
            EXPECT_TRUE(name.endsWith("-四连拍.jpg")) << name.toStdString();
        } else {
            EXPECT_EQ(size, QSize(640, 480));
            EXPECT_FALSE(name.contains("四连拍")) << name.toStdString();
        }
    }
    EXPECT_EQ(strips, 1);
}

TEST_F(RecordRowsTest, StoppingTheCameraCancelsABurst)
{
    ASSERT_TRUE(session().Start());
    Run(ID_BURST_STRIP);
    EXPECT_TRUE(session().burstActive());
    session().Stop();
    EXPECT_FALSE(session().burstActive());
    EXPECT_FALSE(Update(ID_BURST_STRIP).enabled);
}

// The photos strip's menu over a photo folder with a photo, a GIF and a video.
class GalleryRowsTest : public CommandRig {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(trash.isValid());
        shell.trashFolder = trash.path();
        CommandRig::SetUp();
        const QDir photos(PathToQString(folders.photoDir));
        QImage photo(64, 48, QImage::Format_RGB32);
        photo.fill(QColor(200, 30, 30));
        ASSERT_TRUE(photo.save(photos.filePath("a.jpg")));
        // Qt writes no GIF: the smallest one there is, 1 × 1.
        QFile gif(photos.filePath("B.gif"));
        ASSERT_TRUE(gif.open(QIODevice::WriteOnly));
        gif.write(QByteArray::fromBase64("R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7"));
        gif.close();
        cv::VideoWriter writer(QFile::encodeName(photos.filePath("c.mp4")).toStdString(), cv::CAP_FFMPEG,
            cv::VideoWriter::fourcc('m', 'p', '4', 'v'), 10, cv::Size(64, 48));
        ASSERT_TRUE(writer.isOpened());
        for (int i = 0; i < 5; ++i)
            writer.write(cv::Mat(48, 64, CV_8UC3, cv::Scalar(30, 200, 30)));
        writer.release();
        pane()->OnPhotoSaved();
        pane()->WaitForLoads();
    }
    QString Photo(const char* name) const { return QDir(PathToQString(folders.photoDir)).filePath(name); }
    QStringList Listed() const
    {
        QStringList names;
        for (const auto& thumb : pane()->photoStrip()->thumbnails())
            names << QFileInfo(thumb->path()).fileName();
        return names;
    }
    QTemporaryDir trash;
};

TEST_F(GalleryRowsTest, OpenAndOpenFolderGoToTheShell)
{
    EXPECT_EQ(Listed(), (QStringList { "c.mp4", "B.gif", "a.jpg" })) << "the newest written first";
    input.path = Photo("c.mp4");
    Run(ID_PHOTO_OPEN);
    Run(ID_PHOTO_OPEN_FOLDER);
    ASSERT_EQ(shell.opened.size(), 2u);
    EXPECT_EQ(shell.opened[0], Photo("c.mp4"));
    EXPECT_EQ(QDir(shell.opened[1]), QDir(PathToQString(folders.photoDir)));
    input.path = Photo("gone.jpg");
    EXPECT_FALSE(Update(ID_PHOTO_OPEN).enabled);
}

TEST_F(GalleryRowsTest, CopyPutsTheImageOnTheClipboardAndIsOffForVideos)
{
    input.path = Photo("c.mp4");
    EXPECT_FALSE(Update(ID_PHOTO_COPY).enabled);
    input.path = Photo("a.jpg");
    ASSERT_TRUE(Update(ID_PHOTO_COPY).enabled);
    QGuiApplication::clipboard()->clear();
    Run(ID_PHOTO_COPY);
    const QImage copied = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(copied.isNull());
    EXPECT_EQ(copied.size(), QSize(64, 48));
}

TEST_F(GalleryRowsTest, DeleteAsksThenMovesToTheTrashAndTheStripForgetsIt)
{
    input.path = Photo("B.gif");
    boxes.answer = MessageChoice::Cancel;
    Run(ID_PHOTO_DELETE);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::OkCancel);
    EXPECT_TRUE(QFileInfo::exists(Photo("B.gif")));

    boxes.answer = MessageChoice::Ok;
    Run(ID_PHOTO_DELETE);
    EXPECT_FALSE(QFileInfo::exists(Photo("B.gif")));
    EXPECT_TRUE(QFileInfo::exists(QDir(trash.path()).filePath("B.gif")));
    EXPECT_TRUE(status.startsWith("已移到回收站")) << status.toStdString();
    pane()->WaitForLoads();
    EXPECT_EQ(Listed().size(), 2);
    EXPECT_FALSE(Listed().contains("B.gif"));
}

TEST_F(GalleryRowsTest, WithoutATrashDeleteAsksAgainAndDeletesForGoodOrKeepsTheFile)
{
    shell.trashFolder.clear(); // no trash can be established for the photo
    const auto workingFolder = [] {
        return QDir::current().entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    };
    const QStringList before = workingFolder();
    input.path = Photo("a.jpg");
    boxes.answers = { MessageChoice::Ok, MessageChoice::Cancel }; // delete, but not for good
    Run(ID_PHOTO_DELETE);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_TRUE(boxes.shown[1].text.contains("永久删除")) << boxes.shown[1].text.toStdString();
    EXPECT_EQ(boxes.shown[1].buttons, MessageButtons::OkCancel);
    EXPECT_TRUE(QFileInfo::exists(Photo("a.jpg")));
    EXPECT_FALSE(status.contains("回收站")) << status.toStdString();

    boxes.answer = MessageChoice::Ok;
    Run(ID_PHOTO_DELETE);
    EXPECT_FALSE(QFileInfo::exists(Photo("a.jpg")));
    EXPECT_TRUE(status.startsWith("已永久删除")) << status.toStdString();
    EXPECT_EQ(shell.trashed.size(), 2u);
    EXPECT_EQ(workingFolder(), before) << "nothing is written into the working folder";
    pane()->WaitForLoads();
    EXPECT_FALSE(Listed().contains("a.jpg"));
}

TEST_F(GalleryRowsTest, TheMenuShowsItsRowsEnabledByTheirRules)
{
    CommandActions actions(table, *context);
    const std::unique_ptr<QMenu> menu(BuildPhotoMenu(actions, Photo("c.mp4"), nullptr));
    QStringList captions;
    QList<bool> enabled;
    for (QAction* action : menu->actions())
        if (!action->isSeparator()) {
            captions << action->text();
            enabled << action->isEnabled();
        }
    EXPECT_EQ(captions, (QStringList { "查看", "打开方式", "打开所在文件夹", "复制", "删除" }));
    EXPECT_EQ(enabled, (QList<bool> { true, true, true, false, true }));
    EXPECT_EQ(menu->defaultAction(), menu->actions().front());
    menu->actions().front()->trigger(); // in the program's viewer, as a double-click
    EXPECT_EQ(window.viewed, (std::vector<QString> { Photo("c.mp4") }));
    EXPECT_TRUE(shell.opened.empty());
    menu->actions()[1]->trigger();
    ASSERT_EQ(shell.opened.size(), 1u);
    EXPECT_EQ(shell.opened[0], Photo("c.mp4"));
}

} // namespace
