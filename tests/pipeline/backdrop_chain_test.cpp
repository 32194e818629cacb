// The backdrop in the frame's chain, the learning of the room step by step, the backdrop files.

#include "pipeline/BackdropControl.h"
#include "pipeline/BackdropLibrary.h"
#include "pipeline/BackdropPlayer.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/RoomLearning.h"
#include "pipeline/stages/Doodle.h"
#include "pipeline/stages/GrainRandom.h"
#include "pipeline/stages/OpticalFlow.h"
#include "pipeline/stages/ProcessFrame.h"
#include "ui/PathText.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <opencv2/imgproc.hpp>

#include <filesystem>

namespace {

const cv::Size kSize(64, 48);
const cv::Rect kPerson(24, 12, 16, 24);

// A green cloth with a grey person in the middle.
cv::Mat ClothScene()
{
    cv::Mat frame(kSize, CV_8UC3, cv::Scalar(40, 200, 40));
    frame(kPerson).setTo(cv::Scalar(120, 120, 120));
    return frame;
}

// Left half red, right half blue: shows whether the backdrop was mirrored.
cv::Mat HalvesBackdrop()
{
    cv::Mat backdrop(kSize, CV_8UC3, cv::Scalar(0, 0, 220));
    backdrop(cv::Rect(kSize.width / 2, 0, kSize.width / 2, kSize.height)).setTo(cv::Scalar(220, 0, 0));
    return backdrop;
}

struct Chain {
    FlowState flow;
    DoodleLayer doodle;
    GrainRandom random;
    BackdropState state;

    void Run(cv::Mat& frame, const PictureSettings& settings, const cv::Mat& backdrop)
    {
        BackdropWork work { state, backdrop, 0.0 };
        ProcessFrame(frame, settings, flow, doodle, random, nullptr, &work);
    }
};

PictureSettings KeyedOn(FlipMode flip)
{
    PictureSettings s;
    s.flipMode = flip;
    UseClothColour(s, kGreenCloth);
    return s;
}

TEST(BackdropChain, BackdropComesAfterTheFlipAndBeforeTheStyle)
{
    Chain chain;
    const cv::Mat backdrop = HalvesBackdrop();

    // Mirrored camera: the person moves, the backdrop is not mirrored with the room.
    PictureSettings s = KeyedOn(kFlipMirror);
    cv::Mat frame = ClothScene();
    chain.Run(frame, s, backdrop);
    EXPECT_EQ(frame.at<cv::Vec3b>(2, 2), cv::Vec3b(0, 0, 220)) << "the backdrop's left stays left";
    EXPECT_EQ(frame.at<cv::Vec3b>(2, kSize.width - 3), cv::Vec3b(220, 0, 0));
    const cv::Vec3b person = frame.at<cv::Vec3b>(kPerson.y + 12, kPerson.x + 8);
    EXPECT_NEAR(person[1], 120, 8) << "the person stays";

    // With a style, the backdrop is styled like the person: black and white everywhere.
    s.effectStyle = kEffectBlackWhite;
    frame = ClothScene();
    chain.Run(frame, s, backdrop);
    const cv::Vec3b red = frame.at<cv::Vec3b>(2, 2);
    EXPECT_EQ(red[0], red[1]);
    EXPECT_EQ(red[1], red[2]);
    EXPECT_LT(red[0], 120) << "grey of the red backdrop, not of the bright green cloth";
}

TEST(BackdropChain, NothingChangesWithTheLookOffOrAWaitingRoom)
{
    Chain chain;
    PictureSettings s; // off
    cv::Mat frame = ClothScene();
    chain.Run(frame, s, HalvesBackdrop());
    EXPECT_EQ(cv::norm(frame, ClothScene(), cv::NORM_INF), 0);

    // The learnt room with no room learnt: the camera's picture, not a broken one.
    ToggleBackdropReplace(s);
    ASSERT_TRUE(BackdropNeedsRoom(s, false));
    chain.Run(frame, s, HalvesBackdrop());
    EXPECT_EQ(cv::norm(frame, ClothScene(), cv::NORM_INF), 0);
}

TEST(BackdropChain, AClickTakesTheClothColourFromThePictureAsShown)
{
    Chain chain;
    PictureSettings s;
    ArmClothPick(s);
    chain.state.pickAt = cv::Point(3, 3);
    cv::Mat frame = ClothScene();
    chain.Run(frame, s, {});
    ASSERT_TRUE(chain.state.picked);
    EXPECT_NEAR((*chain.state.picked)[1], 200, 1);
    UseClothColour(s, *chain.state.picked);
    EXPECT_FALSE(ClothPickArmed(s)) << "one click, one colour";
    EXPECT_TRUE(s.backdrop.keyed);
    EXPECT_EQ(s.backdrop.look, BackdropLook::Replace);

    // A click outside the picture picks nothing.
    chain.state.picked.reset();
    chain.state.pickAt = cv::Point(kSize.width + 5, 0);
    chain.Run(frame, s, {});
    EXPECT_FALSE(chain.state.picked);
}

// Aiming at the cloth, the user sees it: no backdrop over it, nor a look that recolours or moves
// the picture; the click's colour is taken all the same, and then the cloth is keyed out again.
TEST(BackdropChain, WhileThePickWaitsThePictureIsTheCamerasOwn)
{
    Chain chain;
    PictureSettings s = KeyedOn(kFlipNone);
    s.effectStyle = kEffectBlackWhite;
    s.funEffect = kFunMirror;
    ArmClothPick(s);
    chain.state.pickAt = cv::Point(3, 3);
    cv::Mat frame = ClothScene();
    chain.Run(frame, s, HalvesBackdrop());
    EXPECT_EQ(cv::norm(frame, ClothScene(), cv::NORM_INF), 0);
    ASSERT_TRUE(chain.state.picked);

    UseClothColour(s, *chain.state.picked);
    frame = ClothScene();
    chain.Run(frame, s, HalvesBackdrop());
    const cv::Vec3b corner = frame.at<cv::Vec3b>(2, 2);
    EXPECT_EQ(corner[0], corner[1]) << "grey again";
    EXPECT_LT(corner[1], 120) << "the grey of the red backdrop, not of the bright cloth";
}

TEST(BackdropLooks, ReplaceAndBlurExcludeEachOtherAndTheClothNeedsNoRoom)
{
    PictureSettings s;
    ToggleBackdropReplace(s);
    ToggleBackdropBlur(s);
    EXPECT_EQ(s.backdrop.look, BackdropLook::Blur);
    ToggleBackdropReplace(s);
    EXPECT_EQ(s.backdrop.look, BackdropLook::Replace);
    EXPECT_TRUE(BackdropNeedsRoom(s, false));
    EXPECT_FALSE(BackdropNeedsRoom(s, true));
    UseClothColour(s, kBlueCloth);
    EXPECT_FALSE(BackdropNeedsRoom(s, false));
    EXPECT_TRUE(ClothPressed(s, kBlueCloth));
    EXPECT_FALSE(ClothPressed(s, kGreenCloth));
    ToggleClothKey(s);
    EXPECT_TRUE(BackdropNeedsRoom(s, false)) << "the cloth off: back to the learnt room";
}

TEST(RoomLearning, CountsThreeSecondsThenLearnsOneThenFinishes)
{
    RoomLearning learning;
    EXPECT_EQ(learning.At(0), RoomLearning::Phase::Idle);
    learning.Start(100.0);
    EXPECT_EQ(learning.SecondsLeft(100.0), 3);
    EXPECT_EQ(learning.SecondsLeft(100.999), 3);
    EXPECT_EQ(learning.SecondsLeft(101.0), 2);
    EXPECT_EQ(learning.SecondsLeft(102.5), 1);
    EXPECT_EQ(learning.At(102.9), RoomLearning::Phase::Counting);
    EXPECT_EQ(learning.At(103.0), RoomLearning::Phase::Learning);
    EXPECT_EQ(learning.SecondsLeft(103.0), 0);
    EXPECT_EQ(learning.At(103.99), RoomLearning::Phase::Learning);
    EXPECT_EQ(learning.At(104.0), RoomLearning::Phase::Finished);
    // Again while it runs: afresh.
    learning.Start(103.5);
    EXPECT_EQ(learning.SecondsLeft(103.5), 3);
    learning.Cancel();
    EXPECT_EQ(learning.At(110), RoomLearning::Phase::Idle);
}

// A room of fine texture (so the model has something to hold) and a flat "person".
cv::Mat Room(int seed)
{
    cv::Mat room(cv::Size(160, 120), CV_8UC3);
    cv::RNG rng(1);
    rng.fill(room, cv::RNG::UNIFORM, cv::Scalar::all(60), cv::Scalar::all(190));
    cv::GaussianBlur(room, room, cv::Size(5, 5), 0);
    cv::Mat noise(room.size(), CV_16SC3);
    cv::RNG(seed).fill(noise, cv::RNG::NORMAL, cv::Scalar::all(0), cv::Scalar::all(2));
    cv::Mat noisy;
    room.convertTo(noisy, CV_16SC3);
    noisy += noise;
    noisy.convertTo(room, CV_8UC3);
    return room;
}

TEST(BackdropControl, LearnsTheRoomOnlyWhileLearningAndReplacesItAfter)
{
    BackdropControl control;
    control.SetPlayer(BackdropPlayer::FromStill(cv::Mat(cv::Size(160, 120), CV_8UC3, cv::Scalar(255, 0, 255))),
        "magenta");
    PictureSettings s;
    s.flipMode = kFlipNone; // frames compared as the camera gave them
    ToggleBackdropReplace(s);
    FlowState flow;
    DoodleLayer doodle;
    GrainRandom random;
    const cv::Rect person(60, 30, 40, 90);
    auto pass = [&](cv::Mat frame, double t) {
        BackdropWork work = control.Prepare(s.backdrop, frame.size(), t);
        ProcessFrame(frame, s, flow, doodle, random, nullptr, &work);
        control.Finish(work);
        return frame;
    };
    double t = 0;
    // Before learning: the room is not known, nothing is replaced.
    cv::Mat shown = pass(Room(0), t += 1.0 / 30);
    EXPECT_EQ(cv::norm(shown, Room(0), cv::NORM_INF), 0);
    EXPECT_FALSE(control.roomReady());

    control.SetLearning(true);
    for (int i = 1; i <= 30; ++i) {
        shown = pass(Room(i), t += 1.0 / 30);
        EXPECT_EQ(cv::norm(shown, Room(i), cv::NORM_INF), 0) << "learning shows the camera's picture";
    }
    EXPECT_EQ(control.learntFrames(), 30);
    control.SetLearning(false);
    ASSERT_TRUE(control.roomReady());

    for (int i = 0; i < 10; ++i) {
        cv::Mat frame = Room(100 + i);
        frame(person).setTo(cv::Scalar(30, 160, 230));
        shown = pass(frame, t += 1.0 / 30);
    }
    EXPECT_EQ(shown.at<cv::Vec3b>(5, 5), cv::Vec3b(255, 0, 255)) << "the room is replaced";
    const cv::Vec3b middle = shown.at<cv::Vec3b>(person.y + 40, person.x + 20);
    EXPECT_EQ(middle, cv::Vec3b(30, 160, 230)) << "the person stays";

    // Learning again starts a new room: frames count afresh.
    control.SetLearning(true);
    pass(Room(7), t += 1.0 / 30);
    EXPECT_EQ(control.learntFrames(), 1);
}

TEST(AnimatedBackdrop, ShowsEachFrameForItsTimeAndLoops)
{
    std::vector<cv::Mat> frames;
    for (int i = 0; i < 3; ++i)
        frames.emplace_back(cv::Size(4, 4), CV_8UC3, cv::Scalar::all(i * 100));
    AnimatedBackdrop animation(frames, { 0.1, 0.2, 0.3 });
    EXPECT_EQ(animation.FrameAt(0.0), 0);
    EXPECT_EQ(animation.FrameAt(0.15), 1);
    EXPECT_EQ(animation.FrameAt(0.35), 2);
    EXPECT_EQ(animation.FrameAt(0.65), 0);
    EXPECT_EQ(animation.FrameAt(6.05), 0);
    // The first request is the start; the picture comes at the size asked for.
    const cv::Mat first = animation.PictureAt(cv::Size(8, 6), 50.0);
    EXPECT_EQ(first.size(), cv::Size(8, 6));
    EXPECT_EQ(first.at<cv::Vec3b>(0, 0)[0], 0);
    EXPECT_EQ(animation.PictureAt(cv::Size(8, 6), 50.2).at<cv::Vec3b>(0, 0)[0], 100);
}

TEST(BackdropFiles, HostileFilesAreNeitherListedAsBackdropsNorOpened)
{
    QTemporaryDir shipped, own;
    ASSERT_TRUE(shipped.isValid() && own.isValid());
    const QDir o(own.path());
    QImage picture(32, 24, QImage::Format_RGB32);
    picture.fill(Qt::cyan);
    ASSERT_TRUE(picture.save(QDir(shipped.path()).filePath("beach.png")));
    ASSERT_TRUE(picture.save(o.filePath("Mine.PNG")));
    ASSERT_TRUE(o.mkdir("folder.jpg"));
    QFile(o.filePath("empty.gif")).open(QIODevice::WriteOnly);
    {
        QFile text(o.filePath("fake.jpg"));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("not a picture at all");
    }
    {
        QFile text(o.filePath("clip.mp4"));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write("not a video either");
    }
    ASSERT_TRUE(QFile::link(o.filePath("gone.png"), o.filePath("dead.png")));
    ASSERT_TRUE(picture.save(o.filePath("notes.txt"), "PNG"));

    const std::vector<BackdropEntry> listed
        = ListBackdrops(QStringToPath(shipped.path()), QStringToPath(own.path()));
    QStringList names;
    for (const BackdropEntry& e : listed)
        names << QFileInfo(e.path).fileName() + (e.shipped ? "*" : "");
    EXPECT_EQ(names, QStringList({ "beach.png*", "clip.mp4", "empty.gif", "fake.jpg", "Mine.PNG" }));

    // Listed by name, refused by content: no player, no thumbnail, no crash.
    for (const char* bad : { "empty.gif", "fake.jpg", "clip.mp4" }) {
        EXPECT_EQ(BackdropPlayer::Open(o.filePath(bad)), nullptr) << bad;
        EXPECT_TRUE(BackdropThumbnail(o.filePath(bad), QSize(48, 27)).isNull()) << bad;
    }
    const std::unique_ptr<BackdropPlayer> mine = BackdropPlayer::Open(o.filePath("Mine.PNG"));
    ASSERT_NE(mine, nullptr);
    const cv::Mat shown = mine->PictureAt(cv::Size(64, 48), 0);
    ASSERT_EQ(shown.size(), cv::Size(64, 48));
    EXPECT_EQ(shown.at<cv::Vec3b>(10, 10), cv::Vec3b(255, 255, 0)) << "cyan, in BGR";
    EXPECT_EQ(BackdropThumbnail(o.filePath("Mine.PNG"), QSize(48, 27)).size(), QSize(48, 27));

    // The shipped folder chosen as one's own lists its files once; a missing one lists nothing.
    EXPECT_EQ(ListBackdrops(QStringToPath(shipped.path()), QStringToPath(shipped.path())).size(), 1u);
    EXPECT_TRUE(ListBackdrops({}, QStringToPath(o.filePath("nowhere"))).empty());
}

} // namespace
