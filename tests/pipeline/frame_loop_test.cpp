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
#include <cstdio>
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

TEST(FrameStats, StageMediansAndTheWorkersShareOfEachFrame)
{
    FrameStats stats;
    // Five frames: the flow takes 1 … 5 ms, the colour 10 ms except one slow frame; the display
    // (presenter) does not count towards the worker.
    for (int i = 1; i <= 5; ++i) {
        StageTimes times {};
        times[static_cast<int>(Stage::Flow)] = i;
        times[static_cast<int>(Stage::Colour)] = i == 2 ? 40 : 10;
        times[static_cast<int>(Stage::Display)] = 7;
        stats.Stages(times);
    }
    const FrameStats::Report r = stats.Take();
    EXPECT_DOUBLE_EQ(r.stageMedianMs[static_cast<int>(Stage::Flow)], 3.0);
    EXPECT_DOUBLE_EQ(r.stageMedianMs[static_cast<int>(Stage::Colour)], 10.0);
    EXPECT_DOUBLE_EQ(r.stageMedianMs[static_cast<int>(Stage::Display)], 7.0);
    EXPECT_DOUBLE_EQ(r.stageMedianMs[static_cast<int>(Stage::Take)], 0.0);
    EXPECT_DOUBLE_EQ(r.workerMedianMs, 14.0); // frames of 11, 42, 13, 14, 15 ms
    EXPECT_DOUBLE_EQ(stats.Take().stageMedianMs[static_cast<int>(Stage::Flow)], 0.0);
}

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

// A flat frame whose blue level carries a number from 0 to 7, read back from the picture.
cv::Mat NumberedFrame(int number)
{
    return cv::Mat(48, 64, CV_8UC3, cv::Scalar(20 + 30 * number, 0, 0));
}

int NumberOf(const QImage& picture)
{
    return (picture.pixelColor(5, 5).blue() - 5) / 30;
}

TEST_F(FrameLoopTest, EveryStartShowsPicturesAgainAlsoWhileTheStoppedWorkerStillReleasesTheCamera)
{
    // A camera that can be opened once and takes 5 to 20 ms to let go. Stops and starts follow
    // each other at once, within a millisecond, or as a burst of clicks; from the hundredth
    // start on the source is read on a grabber thread, like a camera.
    state->exclusive = true;
    state->releaseTakes = [](int n) { return std::chrono::microseconds(5000 + (n * 7 % 16) * 1000); };
    std::atomic<int> number { 0 };
    state->frameFor = [&](int) {
        if (state->pacesItself)
            std::this_thread::sleep_for(3ms); // a camera waits for its next frame
        return NumberedFrame(number);
    };
    const auto showsNumber = [&](int wanted, std::size_t from) {
        std::unique_lock lock(mutex);
        return arrived.wait_for(lock, 2s, [&] {
            return std::any_of(pictures.begin() + static_cast<std::ptrdiff_t>(std::min(from, pictures.size())),
                pictures.end(), [&](const QImage& p) { return NumberOf(p) == wanted; });
        });
    };
    const auto pictureCount = [&] {
        std::scoped_lock lock(mutex);
        return pictures.size();
    };
    int starts = 0;
    LoopClock::Clock::duration longestStart {};
    for (int i = 0; i < 200; ++i) {
        if (i == 100)
            state->pacesItself = true;
        number = i % 8; // differs from the last run's pictures
        const std::size_t before = pictureCount();
        const auto began = LoopClock::Clock::now();
        ASSERT_EQ(loop->Start(), FrameLoop::StartResult::Started) << "start " << i;
        longestStart = std::max(longestStart, LoopClock::Clock::now() - began);
        ++starts;
        if (i % 5 == 4) { // off and on again before anything shows
            loop->Stop();
            ASSERT_EQ(loop->Start(), FrameLoop::StartResult::Started) << "start " << i;
            ++starts;
        }
        ASSERT_TRUE(loop->running());
        ASSERT_TRUE(loop->workerAlive()) << "start " << i;
        ASSERT_EQ(state->liveSources, 1) << "start " << i;
        ASSERT_TRUE(showsNumber(i % 8, before)) << "no picture after start " << i;
        loop->Stop();
        if (i % 4 == 1)
            std::this_thread::yield();
        else if (i % 4 == 2)
            std::this_thread::sleep_for(300us);
        else if (i % 4 == 3)
            std::this_thread::sleep_for(1ms);
    }
    loop->StopAndJoin();
    EXPECT_FALSE(loop->workerAlive());
    EXPECT_EQ(state->maxLiveSources, 1);
    EXPECT_EQ(state->refusedOpens, 0);
    // Every worker opened the camera once and released it; no start ran without one.
    EXPECT_EQ(state->opens, loop->workersStarted());
    EXPECT_EQ(state->releases, state->opens);
    EXPECT_GE(loop->workersStarted(), 1);
    EXPECT_LE(loop->workersStarted(), starts);
    std::printf("[          ] %d starts, %d workers, longest start %.1f ms\n", starts, loop->workersStarted(),
        std::chrono::duration<double, std::milli>(longestStart).count());
}

// Time moves only when the test moves it; the waits are real and short, so the worker keeps
// making passes, which the test can count.
class StillClock : public LoopClock {
public:
    explicit StillClock(Clock::time_point now) : now_(now) {}
    Clock::time_point Now() const override
    {
        std::scoped_lock lock(mutex_);
        return now_;
    }
    void WaitUntil(std::unique_lock<std::mutex>& lock, std::condition_variable& changed, Clock::time_point,
        const std::function<bool()>& done) override
    {
        changed.wait_for(lock, 1ms, done);
        {
            std::scoped_lock passLock(mutex_);
            ++waits_;
        }
        waited_.notify_all();
    }
    void Set(Clock::time_point t)
    {
        std::scoped_lock lock(mutex_);
        now_ = t;
    }
    // Waits until the worker has finished `passes` more passes (each pass waits at least once).
    bool WaitForPasses(int passes)
    {
        std::unique_lock lock(mutex_);
        const long until = waits_ + passes;
        return waited_.wait_for(lock, 2s, [&] { return waits_ >= until; });
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable waited_;
    Clock::time_point now_;
    long waits_ = 0;
};

TEST_F(FrameLoopTest, ACameraShownAsOnWhosePicturesStoppedCountsAsStalledAfterTheLostSpan)
{
    using Clock = FrameLoop::Clock;
    const Clock::time_point t0 { std::chrono::hours(1) };
    auto clock = std::make_shared<StillClock>(t0);
    loop->SetClock(clock);
    const auto lost = loop->lostAfter();
    // Number 1 until the test asks for a last frame (number 2), then nothing.
    std::atomic<int> mode { 0 };
    state->frameFor = [&](int) {
        int expected = 1;
        if (mode.compare_exchange_strong(expected, 2))
            return NumberedFrame(2);
        return expected == 2 ? cv::Mat() : NumberedFrame(1);
    };
    const auto waitForNumber = [&](int wanted) {
        std::unique_lock lock(mutex);
        return arrived.wait_for(lock, 2s, [&] { return !pictures.empty() && NumberOf(pictures.back()) == wanted; });
    };

    EXPECT_FALSE(loop->Stalled(t0 + 1h)); // stopped: nothing to stall
    ASSERT_EQ(loop->Start(), FrameLoop::StartResult::Started);
    EXPECT_EQ(loop->lastPictureAt(), t0); // counted from the start until the first picture
    ASSERT_TRUE(waitForNumber(1));

    // The last frame is read after the clock moved on: its picture is the last sign of life.
    clock->Set(t0 + 1s);
    mode = 1;
    ASSERT_TRUE(waitForNumber(2));
    ASSERT_TRUE(clock->WaitForPasses(3));
    EXPECT_EQ(loop->lastPictureAt(), t0 + 1s);
    EXPECT_FALSE(loop->Stalled(t0 + 1s + lost - 1ms));
    EXPECT_TRUE(loop->Stalled(t0 + 1s + lost));
    clock->Set(t0 + 1s + lost);
    EXPECT_TRUE(loop->Stalled());

    // A picture held still on purpose is no stall, also long after; letting go counts afresh.
    loop->paused = true;
    clock->Set(t0 + 10s);
    ASSERT_TRUE(clock->WaitForPasses(2));
    EXPECT_FALSE(loop->Stalled(t0 + 10s + lost - 1ms));
    loop->paused = false;
    ASSERT_TRUE(clock->WaitForPasses(2));
    EXPECT_EQ(loop->lastPictureAt(), t0 + 10s);
    EXPECT_TRUE(loop->Stalled(t0 + 10s + lost));

    // Stopped it is not stalled; a new start counts from its own time.
    loop->Stop();
    EXPECT_FALSE(loop->Stalled(t0 + 1h));
    clock->Set(t0 + 20s);
    ASSERT_EQ(loop->Start(), FrameLoop::StartResult::Started);
    EXPECT_FALSE(loop->Stalled(t0 + 20s + lost - 1ms));
    EXPECT_TRUE(loop->Stalled(t0 + 20s + lost)); // the camera still sends nothing
    loop->StopAndJoin();
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
    EXPECT_DOUBLE_EQ(r.workerMedianMs, 0.0); // no stage times were given
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
