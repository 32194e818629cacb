#include "CommandRig.h"

#include "pipeline/PictureCommands.h"

#include <QImage>
#include <QSettings>

#include <chrono>

namespace {

class BackdropRowsTest : public CommandRig {
protected:
    void SetUp() override
    {
        CommandRig::SetUp();
        QSettings().remove(QStringLiteral("backdrop"));
        session().SetSteadyClock([this] { return steady; });
        QObject::connect(&session(), &PictureSession::backdropMessage, [this](const QString& text) { said << text; });
        shipped = folders.systemDir / u8"背景";
        ASSERT_TRUE(QDir().mkpath(PathToQString(shipped)));
        QImage beach(64, 48, QImage::Format_RGB32);
        beach.fill(Qt::yellow);
        ASSERT_TRUE(beach.save(PathToQString(shipped / "beach.png")));
    }
    void TearDown() override
    {
        CommandRig::TearDown();
        QSettings().remove(QStringLiteral("backdrop"));
    }
    void Advance(double seconds)
    {
        steady += std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(seconds));
        session().LearningStep();
    }
    PictureSettings Settings() const { return session().model().settings.Snapshot(); }

    // Behind the real clock, as the session's stall check compares it with the real time of the
    // last picture: ahead of it, a slow run would take the camera for stalled and stop it.
    std::chrono::steady_clock::time_point steady {};
    QStringList said;
    std::filesystem::path shipped;
};

TEST_F(BackdropRowsTest, ReplacingWithoutALearntRoomCountsDownLearnsAndSaysSo)
{
    ASSERT_TRUE(session().Start());
    Run(ID_BACKDROP_REPLACE);
    EXPECT_TRUE(*Update(ID_BACKDROP_REPLACE).pressed);
    EXPECT_TRUE(session().learningActive());
    EXPECT_TRUE(*Update(ID_BACKDROP_LEARN).pressed);
    EXPECT_EQ(webcam()->learningCountdownShown(), 3);
    EXPECT_FALSE(session().model().backdrop.learning()) << "the user is still leaving";
    // A drawn scene is asked to clear the picture (the test scene's person walks out).
    ASSERT_TRUE(WaitUntil([&] { return state->askedToLeave == 1; }));
    Advance(1.0);
    EXPECT_EQ(webcam()->learningCountdownShown(), 2);
    Advance(1.0);
    EXPECT_EQ(webcam()->learningCountdownShown(), 1);
    Advance(1.0);
    EXPECT_EQ(webcam()->learningCountdownShown(), 0);
    EXPECT_TRUE(session().model().backdrop.learning());
    ASSERT_TRUE(WaitUntil([&] { return session().model().backdrop.learntFrames() >= 3; }));
    EXPECT_TRUE(said.isEmpty());
    Advance(1.0);
    EXPECT_FALSE(session().learningActive());
    EXPECT_FALSE(session().model().backdrop.learning());
    EXPECT_EQ(said, QStringList { "背景已记住" });
    EXPECT_TRUE(session().model().backdrop.roomReady());
    // The first backdrop offered was put behind the person.
    EXPECT_EQ(session().model().backdrop.playerPath(), PathToQString(shipped / "beach.png"));

    // Learnt: turning it off and on again needs no new learning.
    Run(ID_BACKDROP_REPLACE);
    Run(ID_BACKDROP_REPLACE);
    EXPECT_FALSE(session().learningActive());
}

TEST_F(BackdropRowsTest, ALearningSecondWithoutFramesIsNotReportedAsLearnt)
{
    ASSERT_TRUE(session().Start());
    session().SetPaused(true); // the picture stands still: no frames reach the worker
    Run(ID_BACKDROP_LEARN);
    Advance(3.0);
    Advance(1.0);
    ASSERT_EQ(said.size(), 1);
    EXPECT_NE(said.front(), "背景已记住");
    EXPECT_FALSE(session().model().backdrop.roomReady());
}

TEST_F(BackdropRowsTest, StoppedCameraLearnsNothingAndStoppingCancelsTheCountdown)
{
    EXPECT_FALSE(Update(ID_BACKDROP_LEARN).enabled);
    EXPECT_EQ(table.WhenDisabled(ID_BACKDROP_LEARN), "请先开启摄像机");
    Run(ID_BACKDROP_REPLACE);
    EXPECT_EQ(Settings().backdrop.look, BackdropLook::Replace);
    EXPECT_FALSE(session().learningActive());
    EXPECT_EQ(status, "开启摄像机后，先学习背景");

    ASSERT_TRUE(session().Start());
    Run(ID_BACKDROP_LEARN);
    ASSERT_TRUE(session().learningActive());
    session().Stop();
    EXPECT_FALSE(session().learningActive());
    EXPECT_EQ(webcam()->learningCountdownShown(), 0);
}

TEST_F(BackdropRowsTest, ClothRowsKeyWithoutLearningAndThePickTakesTheNextClick)
{
    ASSERT_TRUE(session().Start());
    Run(ID_BACKDROP_CLOTH_BLUE);
    EXPECT_TRUE(*Update(ID_BACKDROP_CLOTH_BLUE).pressed);
    EXPECT_FALSE(*Update(ID_BACKDROP_CLOTH_GREEN).pressed);
    EXPECT_TRUE(*Update(ID_BACKDROP_CLOTH).pressed);
    EXPECT_TRUE(*Update(ID_BACKDROP_REPLACE).pressed);
    EXPECT_FALSE(session().learningActive());

    Run(ID_BACKDROP_CLOTH_PICK);
    EXPECT_TRUE(*Update(ID_BACKDROP_CLOTH_PICK).pressed);
    EXPECT_EQ(Settings().mouseMode, kMousePickKey);
    // The worker takes the colour of the next frame at the point and ends the pick.
    session().model().backdrop.PickColourAt({ 2, 2 });
    ASSERT_TRUE(WaitUntil([&] { return Settings().mouseMode != kMousePickKey; }));
    EXPECT_TRUE(Settings().backdrop.keyed);
    EXPECT_FALSE(*Update(ID_BACKDROP_CLOTH_BLUE).pressed) << "the picked colour replaced blue";

    // The split button's own part: the cloth off, back to the learnt room, which is learnt first.
    Run(ID_BACKDROP_CLOTH);
    EXPECT_FALSE(Settings().backdrop.keyed);
    EXPECT_TRUE(session().learningActive());
}

TEST_F(BackdropRowsTest, GalleryOffersShippedAndOwnFilesAndRefusesWhatIsNoPicture)
{
    const std::filesystem::path own = folders.appDir / "own";
    ASSERT_TRUE(QDir().mkpath(PathToQString(own)));
    {
        QFile fake(PathToQString(own / "broken.png"));
        ASSERT_TRUE(fake.open(QIODevice::WriteOnly));
        fake.write("no picture");
    }
    // The default folder is made when the chooser opens, so that it can be chosen; and shown in
    // the file manager on request.
    ASSERT_FALSE(std::filesystem::exists(folders.backdropDir));
    shell.chosenFolder = PathToQString(own);
    Run(ID_BACKDROP_FOLDER);
    EXPECT_EQ(shell.chooserStarts.back(), PathToQString(folders.backdropDir));
    EXPECT_TRUE(std::filesystem::is_directory(folders.backdropDir));
    Run(ID_BACKDROP_OPEN_FOLDER);
    ASSERT_FALSE(shell.opened.empty());
    EXPECT_EQ(shell.opened.back(), PathToQString(own)) << "the folder now chosen";
    std::filesystem::remove_all(own / "gone");
    QSettings().setValue("backdrop/folder", PathToQString(own / "gone"));
    Run(ID_BACKDROP_OPEN_FOLDER);
    EXPECT_TRUE(status.startsWith("背景文件夹不存在")) << "a chosen folder that went is not made again";
    EXPECT_FALSE(std::filesystem::exists(own / "gone"));
    QSettings().setValue("backdrop/folder", PathToQString(own));

    const CommandState gallery = Update(ID_BACKDROP_GALLERY);
    ASSERT_EQ(gallery.items.size(), 2u);
    EXPECT_EQ(gallery.items[0], PathToQString(shipped / "beach.png"));
    EXPECT_EQ(*gallery.value, -1);

    input.path = gallery.items[1];
    Run(ID_BACKDROP_GALLERY);
    EXPECT_TRUE(status.startsWith("无法打开这个背景")) << status.toStdString();
    EXPECT_EQ(Settings().backdrop.look, BackdropLook::Off);
    EXPECT_FALSE(session().model().backdrop.hasPlayer());

    input.path = gallery.items[0];
    Run(ID_BACKDROP_GALLERY);
    EXPECT_EQ(Settings().backdrop.look, BackdropLook::Replace);
    EXPECT_EQ(*Update(ID_BACKDROP_GALLERY).value, 0);

    // Blurring instead of replacing.
    Run(ID_BACKDROP_BLUR);
    EXPECT_TRUE(*Update(ID_BACKDROP_BLUR).pressed);
    EXPECT_FALSE(*Update(ID_BACKDROP_REPLACE).pressed);
}

} // namespace
