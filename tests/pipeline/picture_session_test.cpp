#include "QtTestApp.h"
#include "ScriptedSource.h"

#include "pipeline/PictureSession.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <chrono>
#include <vector>

// The picture session without any widget: what happens while the camera runs, told by signals.
namespace {

using namespace std::chrono_literals;

class PictureSessionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQtApp();
        session = std::make_unique<PictureSession>(dir.path(), dir.path(), ScriptedFactory(state));
        session->SetPictureSize(640, 480);
        session->SetDisplaySize(320, 240);
        session->SetTickSource([this] { return ticks; });
        session->SetSteadyClock([this] { return steady; });
        QObject::connect(session.get(), &PictureSession::cameraSwitched, [this](bool on) { switched.push_back(on); });
        QObject::connect(session.get(), &PictureSession::cameraLost, [this] { ++lost; });
        QObject::connect(session.get(), &PictureSession::cameraMissing, [this] { ++missing; });
        QObject::connect(session.get(), &PictureSession::flashRequested, [this] { ++flashes; });
        QObject::connect(session.get(), &PictureSession::countdownChanged, [this](int s) { countdown.push_back(s); });
    }
    void TearDown() override { session->Stop(); }

    QTemporaryDir dir;
    std::shared_ptr<ScriptedSourceState> state = std::make_shared<ScriptedSourceState>();
    std::unique_ptr<PictureSession> session;
    quint64 ticks = 5'000;
    std::chrono::steady_clock::time_point steady {};
    std::vector<bool> switched;
    std::vector<int> countdown;
    int lost = 0, missing = 0, flashes = 0;
};

TEST_F(PictureSessionTest, PicturesReachTheScreenAtDisplaySizeAndAMissingCameraIsSaidOnce)
{
    state->openSucceeds = false;
    EXPECT_FALSE(session->Start());
    EXPECT_EQ(missing, 1);
    EXPECT_TRUE(switched.empty());
    EXPECT_FALSE(session->TakePhotoNow());
    EXPECT_FALSE(session->StartCountdown(3));

    state->openSucceeds = true;
    ASSERT_TRUE(session->Start());
    EXPECT_EQ(switched, std::vector<bool> { true });
    ASSERT_TRUE(WaitUntil([&] { return !session->shownImage().isNull(); }));
    EXPECT_EQ(session->shownImage().size(), QSize(320, 240));
    EXPECT_TRUE(session->TakePhotoNow());
    EXPECT_EQ(flashes, 1);
}

TEST_F(PictureSessionTest, TheCountdownStepsByWholeSecondsAndStoppingTheCameraEndsItAndTheBurst)
{
    ASSERT_TRUE(session->Start());
    session->SetPaused(true); // a photo request stays to be seen
    ASSERT_TRUE(session->StartCountdown(2));
    ticks += 999;
    session->CountdownStep(); // early: no step
    ticks += 1;
    session->CountdownStep();
    EXPECT_EQ(countdown, (std::vector<int> { 2, 1 }));
    EXPECT_FALSE(session->model().photos.requested());
    ticks += 1000;
    session->CountdownStep();
    EXPECT_EQ(countdown.back(), 0);
    EXPECT_TRUE(session->model().photos.requested());
    EXPECT_EQ(flashes, 1);
    EXPECT_FALSE(session->countdownActive());

    ASSERT_TRUE(session->StartBurst(3));
    EXPECT_TRUE(session->burstActive());
    session->Stop();
    EXPECT_FALSE(session->burstActive());
    EXPECT_FALSE(session->countdownActive());
    EXPECT_FALSE(session->model().photos.requested());
    EXPECT_EQ(countdown.back(), 0);
    EXPECT_EQ(switched, (std::vector<bool> { true, false }));
}

// A camera shown as on whose pictures stopped, whatever the reason, is switched off as a lost one;
// a picture held still on purpose is not.
TEST_F(PictureSessionTest, ACameraWhosePicturesStoppedIsTreatedAsLostButAHeldPictureIsNot)
{
    session->loop().SetLostAfter(std::chrono::hours(1)); // the loop's own check stays out of the way
    std::atomic<bool> delivering { true };
    state->frameFor = [&](int) { return delivering ? cv::Mat(480, 640, CV_8UC3, cv::Scalar(1, 2, 3)) : cv::Mat(); };
    ASSERT_TRUE(session->Start());
    ASSERT_TRUE(WaitUntil([&] { return !session->shownImage().isNull(); }));

    delivering = false;
    const int silentFrom = state->reads;
    ASSERT_TRUE(WaitUntil([&] { return state->reads > silentFrom + 2; }));
    const auto last = session->loop().lastPictureAt();

    session->SetPaused(true);
    steady = last + PictureSession::kStalledAfter * 3;
    session->CheckStalled();
    EXPECT_TRUE(session->running());
    session->SetPaused(false);
    // Paused passes count as alive; the silence is measured from the last of them.
    const int unpausedFrom = state->reads;
    ASSERT_TRUE(WaitUntil([&] { return state->reads > unpausedFrom + 2; }));
    const auto quietSince = session->loop().lastPictureAt();

    steady = quietSince + PictureSession::kStalledAfter - 1ms;
    session->CheckStalled();
    EXPECT_TRUE(session->running());
    EXPECT_EQ(lost, 0);
    steady = quietSince + PictureSession::kStalledAfter;
    session->CheckStalled();
    EXPECT_FALSE(session->running());
    EXPECT_EQ(lost, 1);
    EXPECT_EQ(switched, (std::vector<bool> { true, false }));
}

} // namespace
