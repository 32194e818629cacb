#include "QtTestApp.h"
#include "ScriptedSource.h"

#include "pipeline/PictureSession.h"
#include "ui/Sounds.h"

#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include <chrono>
#include <vector>

// Which sounds a session asks for, and when: the shutter with every photo, every shot of a burst
// and the start of a recording, a tick in each of a countdown's last three seconds.
namespace {

using namespace std::chrono_literals;
using SoundList = std::vector<Sound>;
constexpr Sound S = Sound::Shutter;
constexpr Sound T = Sound::Tick;

class CaptureSoundsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQtApp();
        wasOn = SoundOn();
        SetSoundOn(true);
        session = std::make_unique<PictureSession>(dir.path(), dir.path(), ScriptedFactory(state));
        session->SetPictureSize(640, 480);
        session->SetDisplaySize(320, 240);
        session->SetTickSource([this] { return ticks; });
        session->SetBurstClock([this] { return burstNow; });
        QObject::connect(session.get(), &PictureSession::flashRequested, [this] { ++flashes; });
    }
    void TearDown() override
    {
        session->Stop();
        SetSoundOn(wasOn);
    }

    // One whole second of the countdown.
    void Second()
    {
        ticks += 1000;
        session->CountdownStep();
    }
    // Sounds asked for since the last look.
    SoundList Heard()
    {
        SoundList heard;
        heard.swap(player.played);
        return heard;
    }

    QTemporaryDir dir;
    std::shared_ptr<ScriptedSourceState> state = std::make_shared<ScriptedSourceState>();
    RecordingSounds player;
    ScopedSounds installPlayer { player };
    bool wasOn = true;
    std::unique_ptr<PictureSession> session;
    quint64 ticks = 5'000;
    std::chrono::steady_clock::time_point burstNow {};
    int flashes = 0;
};

TEST_F(CaptureSoundsTest, EveryPhotoShotAndRecordingStartClicksAndOnlyTheLastThreeSecondsTick)
{
    // Nothing is taken with the camera off, so nothing sounds.
    EXPECT_FALSE(session->TakePhotoNow());
    session->TakeClickPhoto();
    EXPECT_FALSE(session->StartCountdown(3));
    EXPECT_FALSE(session->StartRecording().started);
    EXPECT_EQ(Heard(), SoundList {});
    EXPECT_EQ(flashes, 0);

    ASSERT_TRUE(session->Start());
    ASSERT_TRUE(session->TakePhotoNow());
    session->TakeClickPhoto();
    EXPECT_EQ(Heard(), (SoundList { S, S }));
    EXPECT_EQ(flashes, 2) << "a photo by a click flashes like any other";

    ASSERT_TRUE(session->StartCountdown(5));
    Second(); // 4
    EXPECT_EQ(Heard(), SoundList {});
    Second(); // 3
    Second(); // 2
    ticks += 400;
    session->CountdownStep(); // early: no step, no tick
    Second(); // 1
    EXPECT_EQ(Heard(), (SoundList { T, T, T }));
    Second(); // the photo
    EXPECT_EQ(Heard(), SoundList { S });

    // Started within the last three seconds, the first second shown ticks at once; a restart
    // ticks again; a cancel is silent.
    ASSERT_TRUE(session->StartCountdown(2));
    ASSERT_TRUE(session->StartCountdown(2));
    session->CancelCountdown();
    EXPECT_EQ(Heard(), (SoundList { T, T }));

    // A burst: its countdown ticks, then each of its four shots clicks as it is taken.
    ASSERT_TRUE(session->StartBurst(1));
    Second();
    EXPECT_EQ(Heard(), (SoundList { T, S }));
    for (int shot = 1; shot < 4; ++shot) {
        burstNow += 1s;
        session->BurstStep();
    }
    EXPECT_EQ(Heard(), (SoundList { S, S, S }));
    burstNow += 1s;
    session->BurstStep(); // the burst is over
    EXPECT_EQ(Heard(), SoundList {});

    const RecordingStart video = session->StartRecording();
    ASSERT_TRUE(video.started) << video.message.toStdString();
    session->StopRecording();
    QString why;
    ASSERT_EQ(session->StartGif(why), PictureSession::GifStart::Started) << why.toStdString();
    session->StopRecording();
    EXPECT_EQ(Heard(), (SoundList { S, S }));
}

TEST_F(CaptureSoundsTest, WithSoundSwitchedOffNothingSoundsAndTheChoiceIsRemembered)
{
    SetSoundOn(false);
    EXPECT_FALSE(QSettings().value("Sound", true).toBool());
    ASSERT_TRUE(session->Start());
    ASSERT_TRUE(session->TakePhotoNow());
    ASSERT_TRUE(session->StartCountdown(3));
    Second();
    Second();
    Second();
    ASSERT_TRUE(session->StartRecording().started);
    session->StopRecording();
    EXPECT_EQ(Heard(), SoundList {});
    EXPECT_EQ(flashes, 2) << "the flash stays: only the sound is switched off";

    SetSoundOn(true);
    EXPECT_TRUE(QSettings().value("Sound", false).toBool());
    ASSERT_TRUE(session->TakePhotoNow());
    EXPECT_EQ(Heard(), SoundList { S });
}

} // namespace
