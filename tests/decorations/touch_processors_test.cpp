#include "decorations/InertiaProcessor.h"
#include "decorations/ManipulationProcessor.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace {

struct EventLog : ManipulationEvents {
    void ManipulationStarted(float, float) override { events.push_back("started"); }
    void ManipulationDelta(float dx, float dy) override
    {
        events.push_back("delta");
        sumX += dx;
        sumY += dy;
        if (onDelta)
            onDelta();
    }
    void ManipulationCompleted() override { events.push_back("completed"); }

    std::vector<std::string> events;
    float sumX = 0, sumY = 0;
    std::function<void()> onDelta;
};

} // namespace

TEST(ManipulationProcessorTest, OneContactGivesItsTranslationAndReleaseVelocity)
{
    EventLog log;
    ManipulationProcessor p(&log);
    p.ProcessDownWithTime(1, 10, 10, 1000);
    p.ProcessMoveWithTime(1, 20, 15, 1010);
    p.ProcessMoveWithTime(1, 30, 20, 1020);
    p.ProcessUpWithTime(1, 40, 25, 1030);
    EXPECT_FLOAT_EQ(log.sumX, 30);
    EXPECT_FLOAT_EQ(log.sumY, 15);
    EXPECT_EQ(log.events.front(), "started");
    EXPECT_EQ(log.events.back(), "completed");
    EXPECT_NEAR(p.VelocityX(), 1.0f, 1e-4);
    EXPECT_NEAR(p.VelocityY(), 0.5f, 1e-4);
}

TEST(ManipulationProcessorTest, VelocityForgetsMotionBeforeAPause)
{
    EventLog log;
    ManipulationProcessor p(&log);
    p.ProcessDownWithTime(1, 0, 0, 0);
    p.ProcessMoveWithTime(1, 100, 0, 20); // fast, then held still for a second
    p.ProcessMoveWithTime(1, 100, 0, 500);
    p.ProcessUpWithTime(1, 100, 0, 1000);
    EXPECT_NEAR(p.VelocityX(), 0.0f, 1e-4);
}

TEST(ManipulationProcessorTest, SecondFingerMovesTheCentroidWithoutAJump)
{
    EventLog log;
    ManipulationProcessor p(&log);
    p.ProcessDownWithTime(1, 0, 0, 0);
    p.ProcessDownWithTime(2, 100, 0, 0); // no delta for the new contact
    EXPECT_FLOAT_EQ(log.sumX, 0);
    p.ProcessMoveWithTime(2, 120, 0, 10); // centroid moves by half
    EXPECT_FLOAT_EQ(log.sumX, 10);
    p.ProcessUpWithTime(2, 120, 0, 20);
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "completed"), 0);
    p.ProcessUpWithTime(1, 0, 0, 30);
    EXPECT_EQ(log.events.back(), "completed");
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "started"), 1);
}

TEST(ManipulationProcessorTest, ReleaseFromInsideADeltaEndsOnce)
{
    EventLog log;
    ManipulationProcessor p(&log);
    log.onDelta = [&] {
        log.onDelta = nullptr;
        p.ProcessUpWithTime(1, 50, 0, 10); // what a pick does
    };
    p.ProcessDownWithTime(1, 0, 0, 0);
    p.ProcessMoveWithTime(1, 50, 0, 10);
    p.ProcessMoveWithTime(1, 60, 0, 20); // the contact is gone: ignored
    p.ProcessUpWithTime(1, 70, 0, 30);
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "completed"), 1);
    EXPECT_FLOAT_EQ(log.sumX, 50);
}

TEST(InertiaProcessorTest, DeceleratesToTheStoppingDistanceAndCompletesOnce)
{
    EventLog log;
    InertiaProcessor inertia(&log);
    inertia.Start(0.6f, -0.8f, 0.0f); // speed 1 px/ms
    inertia.SetDesiredDeceleration(0.006f);
    bool done = false;
    int64_t t = 5000;
    for (int i = 0; i < 100 && !done; ++i, t += 10)
        done = inertia.Process(t);
    ASSERT_TRUE(done);
    const float distance = 1.0f / (2 * 0.006f); // 83.3 px
    EXPECT_NEAR(log.sumX, 0.6f * distance, 1e-2);
    EXPECT_NEAR(log.sumY, -0.8f * distance, 1e-2);
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "completed"), 1);
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "started"), 0);
    EXPECT_TRUE(inertia.Process(t + 10));
    EXPECT_EQ(std::count(log.events.begin(), log.events.end(), "completed"), 1);
}

TEST(InertiaProcessorTest, HalfwayInTimeCoversThreeQuartersOfTheDistance)
{
    EventLog log;
    InertiaProcessor inertia(&log);
    inertia.Start(1.2f, 0.0f, 0.0f); // stops after 200 ms
    inertia.SetDesiredDeceleration(0.006f);
    inertia.Process(0);
    inertia.Process(100);
    EXPECT_NEAR(log.sumX, 0.75f * 1.2f * 1.2f / (2 * 0.006f), 1e-2);
    EXPECT_TRUE(log.events.size() == 1 && log.events[0] == "delta");
}

TEST(InertiaProcessorTest, ZeroVelocityCompletesAtTheFirstStep)
{
    EventLog log;
    InertiaProcessor inertia(&log);
    inertia.Start(0, 0, 0);
    inertia.SetDesiredDeceleration(0.006f);
    EXPECT_TRUE(inertia.Process(123));
    EXPECT_EQ(log.events, std::vector<std::string>{"completed"});
}
