#include "QtTestApp.h"
#include "ScriptedSource.h"

#include "pipeline/FrameLoop.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/PictureModel.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

using namespace std::chrono_literals;

// The frame loop on its own: no widget, pictures collected from the callback.
class FrameLoopTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureQtApp(); // image decoding of the (missing) logo needs Qt's image plugins
        state = std::make_shared<ScriptedSourceState>();
        model = std::make_unique<PictureModel>(dir.path(), dir.path());
        loop = std::make_unique<FrameLoop>(*model, ScriptedFactory(state), [this](QImage picture) {
            std::scoped_lock lock(mutex);
            pictures.push_back(std::move(picture));
            arrived.notify_all();
        });
        loop->SetPictureSize(64, 48);
        loop->SetDisplaySize(64, 48);
    }

    void TearDown() override { loop.reset(); }

    bool WaitForPictures(std::size_t count)
    {
        std::unique_lock lock(mutex);
        return arrived.wait_for(lock, 3s, [&] { return pictures.size() >= count; });
    }

    QImage Last()
    {
        std::scoped_lock lock(mutex);
        return pictures.back();
    }

    QTemporaryDir dir;
    std::shared_ptr<ScriptedSourceState> state;
    std::unique_ptr<PictureModel> model;
    std::unique_ptr<FrameLoop> loop;
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<QImage> pictures;
};

TEST_F(FrameLoopTest, HandsOutProcessedPicturesAtDisplaySizeThroughTheCallback)
{
    state->frameFor = [](int) {
        cv::Mat f(48, 64, CV_8UC3, cv::Scalar(0, 0, 0));
        f(cv::Rect(0, 0, 32, 48)).setTo(cv::Scalar(255, 255, 255)); // white left half
        return f;
    };
    loop->SetDisplaySize(32, 24);
    ASSERT_EQ(loop->Start(), FrameLoop::StartResult::Started);
    EXPECT_TRUE(loop->running());
    EXPECT_TRUE(FrameLoop::RunningAnywhere());
    ASSERT_TRUE(WaitForPictures(1));
    const QImage first = Last();
    EXPECT_EQ(first.size(), QSize(32, 24));
    // Mirrored by default: the white half is on the right.
    EXPECT_EQ(first.pixelColor(30, 10), QColor(255, 255, 255));
    EXPECT_EQ(first.pixelColor(1, 10), QColor(0, 0, 0));

    model->settings.Change([](PictureSettings& s) { ToggleEffectStyle(s, kEffectNegative); });
    const std::size_t seen = pictures.size();
    ASSERT_TRUE(WaitForPictures(seen + 2));
    EXPECT_EQ(Last().pixelColor(1, 10), QColor(255, 255, 255));

    loop->StopAndJoin();
    EXPECT_FALSE(loop->running());
    EXPECT_FALSE(loop->workerAlive());
    EXPECT_FALSE(FrameLoop::RunningAnywhere());
    EXPECT_EQ(state->releases, 1);
}

TEST_F(FrameLoopTest, NoCameraStartsNothingAndAPhotoIsTheUnscaledPicture)
{
    state->openSucceeds = false;
    EXPECT_EQ(loop->Start(), FrameLoop::StartResult::NoCamera);
    EXPECT_FALSE(loop->running());
    EXPECT_EQ(loop->workersStarted(), 0);
    EXPECT_EQ(state->liveSources, 0);

    state->openSucceeds = true;
    loop->SetDisplaySize(32, 24);
    model->photos.Request();
    ASSERT_EQ(loop->Start(), FrameLoop::StartResult::Started);
    ASSERT_TRUE(WaitForPictures(2));
    loop->StopAndJoin();
    const QStringList saved = QDir(dir.path()).entryList({ "*.jpg" }, QDir::Files);
    ASSERT_EQ(saved.size(), 1);
    EXPECT_EQ(QImage(QDir(dir.path()).filePath(saved[0])).size(), QSize(64, 48));
}

TEST_F(FrameLoopTest, DestroyingARunningLoopJoinsItsWorkerAndReleasesTheSource)
{
    ASSERT_EQ(loop->Start(), FrameLoop::StartResult::Started);
    ASSERT_TRUE(WaitForPictures(1));
    loop.reset();
    EXPECT_EQ(state->liveSources, 0);
    EXPECT_EQ(state->releases, 1);
    EXPECT_FALSE(FrameLoop::RunningAnywhere());
}

TEST_F(FrameLoopTest, GrainStartsTheSameSequenceAtEveryStartOfTheCamera)
{
    state->frameFor = [](int) { return cv::Mat(48, 64, CV_8UC3, cv::Scalar(90, 120, 150)); };
    model->settings.Change([](PictureSettings& s) { ToggleEffectStyle(s, kEffectGrain); });
    QImage firstOfRun[2];
    for (QImage& first : firstOfRun) {
        {
            std::scoped_lock lock(mutex);
            pictures.clear();
        }
        ASSERT_EQ(loop->Start(), FrameLoop::StartResult::Started);
        ASSERT_TRUE(WaitForPictures(3)); // the sequence runs on between frames
        loop->StopAndJoin();
        std::scoped_lock lock(mutex);
        first = pictures.front();
        EXPECT_NE(pictures[1], pictures[0]);
    }
    EXPECT_EQ(firstOfRun[0], firstOfRun[1]);
}

TEST_F(FrameLoopTest, WorkWithinThePeriodKeepsAboutThirtyPicturesASecond)
{
    // A source that takes 12 ms to deliver, like a camera waiting for its next frame: paced by
    // deadline the loop still makes about 30 passes a second (a wait after the work: about 22).
    state->frameFor = [](int) {
        std::this_thread::sleep_for(12ms);
        return cv::Mat(48, 64, CV_8UC3, cv::Scalar(40, 80, 120));
    };
    ASSERT_EQ(loop->Start(), FrameLoop::StartResult::Started);
    ASSERT_TRUE(WaitForPictures(1));
    const int before = state->reads;
    std::this_thread::sleep_for(1s);
    const int passes = state->reads - before;
    loop->StopAndJoin();
    EXPECT_GE(passes, 26);
    EXPECT_LE(passes, 32); // and no faster than the period
}

} // namespace
