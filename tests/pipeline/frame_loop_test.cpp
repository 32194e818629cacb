#include "QtTestApp.h"
#include "ScriptedSource.h"

#include "pipeline/capture/FrameGrabber.h"
#include "pipeline/FrameLoop.h"
#include "pipeline/PictureCommands.h"
#include "pipeline/PictureModel.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
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

// Virtual time: a wait jumps to its deadline at once; the test's source moves the clock on to
// each frame's capture and through the work.
class VirtualClock : public LoopClock {
public:
    Clock::time_point Now() const override
    {
        std::scoped_lock lock(mutex_);
        return now_;
    }
    void WaitUntil(std::unique_lock<std::mutex>&, std::condition_variable&, Clock::time_point deadline,
        const std::function<bool()>& done) override
    {
        if (!done())
            AdvanceTo(deadline);
    }
    void AdvanceTo(Clock::time_point t)
    {
        std::scoped_lock lock(mutex_);
        now_ = std::max(now_, t);
    }
    Clock::time_point start() const { return start_; }

private:
    mutable std::mutex mutex_;
    const Clock::time_point start_ = Clock::now();
    Clock::time_point now_ = start_;
};

TEST_F(FrameLoopTest, ACameraOfThirtyFramesAndWorkOfTenMillisecondsGiveThirtyPicturesASecond)
{
    // Frame n is captured at (n + 1) / 30 s; a read waits for it, and the pass's work takes
    // 10 ms. Every frame is then taken the moment it is captured: 30 a second, none stale.
    auto clock = std::make_shared<VirtualClock>();
    loop->SetClock(clock);
    std::vector<std::chrono::microseconds> late; // read time minus capture time, per frame
    std::vector<LoopClock::Clock::time_point> readAt;
    state->frameFor = [&](int n) {
        const auto captured = clock->start() + std::chrono::microseconds(33333) * (n + 1);
        clock->AdvanceTo(captured);
        {
            std::scoped_lock lock(mutex);
            late.push_back(std::chrono::duration_cast<std::chrono::microseconds>(clock->Now() - captured));
            readAt.push_back(clock->Now());
            arrived.notify_all();
        }
        clock->AdvanceTo(clock->Now() + 10ms); // the work
        return cv::Mat(48, 64, CV_8UC3, cv::Scalar(40, 80, 120));
    };
    ASSERT_EQ(loop->Start(), FrameLoop::StartResult::Started);
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(arrived.wait_for(lock, 10s, [&] { return !readAt.empty() && readAt.back() > clock->start() + 2100ms; }));
    }
    loop->StopAndJoin();
    std::scoped_lock lock(mutex);
    const auto inSecondSecond = std::count_if(readAt.begin(), readAt.end(),
        [&](auto t) { return t >= clock->start() + 1s && t < clock->start() + 2s; });
    EXPECT_EQ(inSecondSecond, 30);
    for (std::size_t n = 0; n < late.size(); ++n)
        ASSERT_EQ(late[n].count(), 0) << "frame " << n << " waited in the queue";
}

TEST(FrameStats, ReportsRateLatencyAndGapsOfOnePeriodAtATime)
{
    using Clock = FrameStats::Clock;
    FrameStats stats;
    const Clock::time_point t0 = Clock::now();
    stats.Take(t0);
    // 100 pictures, 10 ms apart but one gap of 50 ms; latencies 1 … 100 ms.
    Clock::time_point shown = t0;
    for (int i = 1; i <= 100; ++i) {
        shown += i == 60 ? 50ms : 10ms;
        stats.Picture(shown - std::chrono::milliseconds(i), shown);
    }
    const FrameStats::Report r = stats.Take(t0 + 2s);
    EXPECT_EQ(r.pictures, 100);
    EXPECT_DOUBLE_EQ(r.seconds, 2.0);
    EXPECT_DOUBLE_EQ(r.perSecond, 50.0);
    EXPECT_DOUBLE_EQ(r.medianLatencyMs, 51.0);
    EXPECT_DOUBLE_EQ(r.p99LatencyMs, 100.0);
    EXPECT_DOUBLE_EQ(r.worstLatencyMs, 100.0);
    EXPECT_DOUBLE_EQ(r.longestGapMs, 50.0);
    // The next period starts empty.
    const FrameStats::Report next = stats.Take(t0 + 3s);
    EXPECT_EQ(next.pictures, 0);
    EXPECT_DOUBLE_EQ(next.seconds, 1.0);
    EXPECT_DOUBLE_EQ(next.longestGapMs, 0.0);
}

TEST(FrameGrabber, TakesTheNewestFrameAndSkipsTheQueuedOnes)
{
    // Three frames are queued at once, then the camera has nothing more for now.
    auto state = std::make_shared<ScriptedSourceState>();
    state->frameFor = [](int n) {
        if (n < 3)
            return cv::Mat(4, 4, CV_8UC3, cv::Scalar::all(n));
        std::this_thread::sleep_for(2ms);
        return cv::Mat();
    };
    ScriptedSource source(state);
    ASSERT_TRUE(source.Open());
    std::atomic<int> arrivals { 0 };
    FrameGrabber grabber(source, [&] { ++arrivals; });
    ASSERT_TRUE(grabber.WaitForNewer(2, FrameGrabber::Clock::now() + 5s));
    FrameGrabber::Frame frame;
    ASSERT_TRUE(grabber.TakeNewer(0, frame));
    EXPECT_EQ(frame.number, 3u);
    EXPECT_EQ(frame.image.at<cv::Vec3b>(0, 0), cv::Vec3b(2, 2, 2)); // frames 0 and 1 never taken
    EXPECT_FALSE(grabber.TakeNewer(frame.number, frame));
    grabber.Stop();
    EXPECT_EQ(arrivals, 3); // one wake-up per frame
    const int reads = state->reads;
    std::this_thread::sleep_for(10ms);
    EXPECT_EQ(state->reads, reads); // no read after the stop
}

TEST_F(FrameLoopTest, ACameraIsReadOnItsOwnThreadPicturesComeInOrderAndAStopReleasesIt)
{
    state->pacesItself = true;
    state->frameFor = [](int n) {
        std::this_thread::sleep_for(5ms); // a camera waits for its next frame
        return cv::Mat(48, 64, CV_8UC3, cv::Scalar::all(n % 256));
    };
    loop->SetDisplaySize(64, 48);
    loop->SetPictureSize(64, 48);
    ASSERT_EQ(loop->Start(), FrameLoop::StartResult::Started);
    ASSERT_TRUE(WaitForPictures(4));
    loop->StopAndJoin();
    EXPECT_FALSE(loop->workerAlive());
    EXPECT_EQ(state->liveSources, 0);
    EXPECT_EQ(state->releases, 1);
    // Frames newer each time (the grabber reads ahead, so some are skipped, never repeated).
    std::scoped_lock lock(mutex);
    for (std::size_t i = 1; i < pictures.size(); ++i)
        EXPECT_GT(pictures[i].pixelColor(5, 5).blue(), pictures[i - 1].pixelColor(5, 5).blue()) << i;
}

} // namespace
