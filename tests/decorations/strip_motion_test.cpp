#include "decorations/Photostrip.h"
#include "strip_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// A strip 400 × 200 at the top of the pane with thumbnails of given widths and no files.
class StripMotionTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureStripTestApp(); }

    void Make(StripPlacement placement, StripContent content, std::initializer_list<float> widths)
    {
        strip = std::make_unique<Photostrip>(nullptr, 400, 200, 0, placement, content, 1);
        QObject::connect(strip.get(), &Photostrip::thumbnailPicked,
                         [this](const QString& path, int kind) {
                             picks.push_back(path);
                             pickKind = kind;
                         });
        float x = 25;
        const float y = placement == StripPlacement::Bottom ? 40.0f : 10.0f;
        int n = 1;
        for (float w : widths) {
            auto photo = std::make_unique<ConstrainedPhoto>(*strip, n, x, y, 150.0f);
            photo->SetThumbnail(QImage(), w, QStringLiteral("/thumb/%1.png").arg(n));
            CornerBounds pick, move;
            if (placement == StripPlacement::Bottom) {
                pick.yMin = 0;
                move.yMin = 0;
                move.yMax = 125;
            } else {
                pick.yMax = 50;
                move.yMin = -75;
                move.yMax = 50;
            }
            photo->SetPickBounds(pick);
            photo->SetMoveRange(move);
            strip->AppendThumbnail(std::move(photo));
            x += w + 25;
            ++n;
        }
    }
    void Send(uint32_t flags, int x, int y) { strip->OnContact(MakeContact(1, flags, x, y, now)); }
    // A mouse click (contact 0) at (x, y) that does not move.
    void Click(int x, int y)
    {
        strip->OnContact(MakeContact(0, ContactDown, x, y, now));
        now += 60;
        strip->OnContact(MakeContact(0, ContactUp, x, y, now));
    }
    // Runs the motion timers until nothing moves any more.
    int TickUntilIdle(int limit = 1000)
    {
        int ticks = 0;
        while (ticks < limit && AnyTimer()) {
            now += 10;
            strip->Tick(now);
            ++ticks;
        }
        return ticks;
    }
    bool AnyTimer() const
    {
        for (int id = 0; id <= static_cast<int>(strip->thumbnails().size()); ++id)
            if (strip->TimerActive(id))
                return true;
        return false;
    }
    ConstrainedPhoto& Thumb(size_t i) { return *strip->thumbnails()[i]; }

    std::unique_ptr<Photostrip> strip;
    std::vector<QString> picks;
    int pickKind = -1;
    uint32_t now = 1000;
};

} // namespace

TEST_F(StripMotionTest, ScrollStaysBetweenTheLimitsOfALongRow)
{
    Make(StripPlacement::Top, StripContent::Frames, {487.5f, 487.5f}); // 1000 with the gap
    EXPECT_FLOAT_EQ(strip->ThumbnailsExtent(), 1000);
    Send(ContactDown, 200, 190); // below the thumbnails
    now += 10;
    Send(ContactMove, 500, 190);
    EXPECT_FLOAT_EQ(strip->scrollOffset(), 120);
    EXPECT_FLOAT_EQ(Thumb(0).x(), 145);
    now += 10;
    Send(ContactMove, -2000, 190);
    EXPECT_FLOAT_EQ(strip->scrollOffset(), -720);
    EXPECT_FLOAT_EQ(Thumb(1).x(), 25 + 512.5f - 720);
    Send(ContactUp, -2000, 190);
    TickUntilIdle();
    EXPECT_FLOAT_EQ(strip->scrollOffset(), -720) << "inertia must respect the limits too";
}

TEST_F(StripMotionTest, ShortRowNeverJumpsAtTheFirstTouch)
{
    // Two stickers 100 wide: the row ends well before 0.7 of the strip.
    Make(StripPlacement::Middle, StripContent::AddOns, {100.0f, 100.0f});
    Send(ContactDown, 75, 60);
    now += 10;
    Send(ContactMove, 75, 80); // pulling a sticker down
    EXPECT_FLOAT_EQ(strip->scrollOffset(), 0);
    EXPECT_FLOAT_EQ(Thumb(0).x(), 25);
    now += 10;
    Send(ContactMove, 74, 80);
    EXPECT_FLOAT_EQ(strip->scrollOffset(), 0) << "no further left than where the row starts";
    now += 10;
    Send(ContactMove, 374, 80);
    EXPECT_FLOAT_EQ(strip->scrollOffset(), 120) << "right as far as any row";
    EXPECT_FLOAT_EQ(Thumb(1).x(), 270);
    Send(ContactUp, 374, 80);
    TickUntilIdle();

    // A row left beyond its limit (the strip was narrowed) stays until moved back.
    strip->SetScrollOffset(200);
    Send(ContactDown, 300, 190);
    now += 10;
    Send(ContactMove, 300, 195);
    EXPECT_FLOAT_EQ(strip->scrollOffset(), 200);
    now += 10;
    Send(ContactMove, 250, 195);
    EXPECT_FLOAT_EQ(strip->scrollOffset(), 150);
}

TEST_F(StripMotionTest, ReleasedScrollGlidesOnAndStops)
{
    Make(StripPlacement::Top, StripContent::Frames, {300, 300, 300, 300, 300});
    Send(ContactDown, 300, 190);
    for (int i = 1; i <= 5; ++i) {
        now += 10;
        Send(ContactMove, 300 - 10 * i, 190); // 1 px/ms to the left
    }
    Send(ContactUp, 250, 190);
    EXPECT_FLOAT_EQ(strip->scrollOffset(), -50);
    EXPECT_TRUE(strip->TimerActive(0));
    TickUntilIdle();
    EXPECT_NEAR(strip->scrollOffset(), -50 - 1.0f / (2 * 0.006f), 0.5f);
    EXPECT_FALSE(strip->inertiaRunning());
}

TEST_F(StripMotionTest, PullingAFrameDownPicksItOnce)
{
    Make(StripPlacement::Top, StripContent::Frames, {150.0f, 150.0f});
    Send(ContactDown, 100, 50);
    now += 20;
    Send(ContactMove, 100, 89); // top at 49: not yet
    EXPECT_TRUE(picks.empty());
    now += 20;
    Send(ContactMove, 100, 90); // top at 50, a fifth of the height below its place
    ASSERT_EQ(picks.size(), 1u);
    EXPECT_EQ(picks[0], QStringLiteral("/thumb/1.png"));
    EXPECT_EQ(pickKind, 1);
    EXPECT_EQ(strip->thumbnailTargets().Find(1), nullptr) << "the pick releases the thumbnail";
    for (int y = 100; y < 200; y += 10) {
        now += 20;
        Send(ContactMove, 100, y);
    }
    Send(ContactUp, 100, 190);
    EXPECT_EQ(picks.size(), 1u);
    EXPECT_LE(Thumb(0).y(), 50.0f);

    TickUntilIdle();
    EXPECT_LT(std::fabs(Thumb(0).y() - 10), 2.0f);
    // Back above the line, the same thumbnail can be picked again.
    Send(ContactDown, 100, 50);
    now += 20;
    Send(ContactMove, 100, 100);
    EXPECT_EQ(picks.size(), 2u);
    Send(ContactUp, 100, 100);
}

TEST_F(StripMotionTest, ThumbnailCarriedOverTheLineByInertiaIsNotPicked)
{
    Make(StripPlacement::Top, StripContent::Frames, {150.0f});
    Send(ContactDown, 100, 50);
    for (int i = 1; i <= 3; ++i) {
        now += 10;
        Send(ContactMove, 100, 50 + 10 * i); // 1 px/ms downwards, top ends at 40
    }
    Send(ContactUp, 100, 80);
    ASSERT_TRUE(Thumb(0).inertiaRunning());
    float lowest = Thumb(0).y();
    while (Thumb(0).inertiaRunning()) {
        now += 10;
        strip->Tick(now);
        lowest = std::max(lowest, Thumb(0).y());
    }
    EXPECT_FLOAT_EQ(lowest, 50) << "inertia reaches the line and is held by the move range";
    EXPECT_TRUE(picks.empty());
}

TEST_F(StripMotionTest, SpringBackClosesTenPercentPerTickToWithinTwoPixels)
{
    Make(StripPlacement::Top, StripContent::Frames, {150.0f});
    Send(ContactDown, 100, 20);
    now += 500;
    Send(ContactMove, 100, -30); // top at -40, held still so no inertia
    now += 500;
    Send(ContactUp, 100, -30);
    now += 10;
    strip->Tick(now); // inertia ends at once, spring-back starts
    ASSERT_TRUE(Thumb(0).snapBack());
    float distance = Thumb(0).y() - 10;
    int ticks = 0;
    while (Thumb(0).snapBack() && ticks < 200) {
        now += 10;
        strip->Tick(now);
        const float next = Thumb(0).y() - 10;
        EXPECT_NEAR(next, 0.9f * distance, 1e-3);
        distance = next;
        ++ticks;
    }
    EXPECT_LT(std::fabs(distance), 2.0f);
    EXPECT_GE(std::fabs(distance / 0.9f), 2.0f) << "stops at the first tick within 2 px";
    EXPECT_FALSE(strip->TimerActive(1));
}

TEST_F(StripMotionTest, TouchDuringSpringBackStillEndsAtHome)
{
    Make(StripPlacement::Top, StripContent::Frames, {150.0f});
    Send(ContactDown, 100, 20);
    now += 500;
    Send(ContactMove, 100, -30);
    now += 500;
    Send(ContactUp, 100, -30);
    for (int i = 0; i < 3; ++i) {
        now += 10;
        strip->Tick(now);
    }
    ASSERT_TRUE(Thumb(0).snapBack());
    Send(ContactDown, 100, static_cast<int>(Thumb(0).y()) + 10);
    now += 500;
    Send(ContactUp, 100, static_cast<int>(Thumb(0).y()) + 10);
    TickUntilIdle();
    EXPECT_LT(std::fabs(Thumb(0).y() - 10), 2.0f);
}

TEST_F(StripMotionTest, PhotosStripPicksByPushingUpButSendsNothing)
{
    Make(StripPlacement::Bottom, StripContent::Photos, {150.0f});
    Send(ContactDown, 100, 100);
    now += 20;
    Send(ContactMove, 100, 59); // top at 0: the photo's pick line
    EXPECT_EQ(strip->thumbnailTargets().Find(1), nullptr) << "picked and released";
    EXPECT_FLOAT_EQ(Thumb(0).y(), 0);
    EXPECT_TRUE(picks.empty());
}

TEST_F(StripMotionTest, HitTestsUseTheirOwnCoordinates)
{
    Make(StripPlacement::Top, StripContent::Frames, {150.0f});
    auto placed = std::make_unique<Photostrip>(nullptr, 400, 140, 280, StripPlacement::Middle,
                                               StripContent::AddOns, 0);
    EXPECT_TRUE(placed->HitTest(0, 280));
    EXPECT_TRUE(placed->HitTest(399, 419));
    EXPECT_FALSE(placed->HitTest(400, 300));
    EXPECT_FALSE(placed->HitTest(10, 420));
    EXPECT_FALSE(placed->HitTest(10, 279));
    ConstrainedPhoto& t = Thumb(0); // corner (25, 10), 150 × 150
    EXPECT_TRUE(t.HitTest(25, 11));
    EXPECT_FALSE(t.HitTest(25, 10)); // the top edge itself is outside
    EXPECT_TRUE(t.HitTest(174.5f, 159.5f));
    EXPECT_FALSE(t.HitTest(175, 100));
    EXPECT_FALSE(t.HitTest(24.9f, 100));
}

TEST_F(StripMotionTest, AClickTakesAFrameButNeitherADragNorTheClickThatStopsTheRow)
{
    Make(StripPlacement::Top, StripContent::Frames, {300, 300, 300, 300});
    Click(100, 80);
    ASSERT_EQ(picks.size(), 1u);
    EXPECT_EQ(picks[0], QStringLiteral("/thumb/1.png"));
    EXPECT_EQ(pickKind, 1);
    EXPECT_EQ(strip->highlightedPath(), QStringLiteral("/thumb/1.png")) << "the taken one lights up";
    EXPECT_FLOAT_EQ(Thumb(0).y(), 10) << "a click leaves the thumbnail in place";

    // The second click of a double-click takes nothing more; a click later takes it again.
    now += 100;
    Click(100, 80);
    EXPECT_EQ(picks.size(), 1u);
    now += 2000;
    Click(100, 80);
    EXPECT_EQ(picks.size(), 2u);

    // A sideways drag scrolls and takes nothing.
    now += 2000;
    Send(ContactDown, 100, 80);
    for (int i = 1; i <= 5; ++i) {
        now += 10;
        Send(ContactMove, 100 - 10 * i, 80);
    }
    Send(ContactUp, 50, 80);
    EXPECT_EQ(picks.size(), 2u);
    // The row glides on; a click on it now only stops it.
    ASSERT_TRUE(strip->inertiaRunning());
    now += 10;
    strip->Tick(now);
    const float stoppedAt = strip->scrollOffset();
    Click(200, 80);
    TickUntilIdle();
    EXPECT_FLOAT_EQ(strip->scrollOffset(), stoppedAt);
    EXPECT_EQ(picks.size(), 2u);
    // Still, a click of a finger.
    now += 2000;
    Send(ContactDown, 200, 80);
    now += 50;
    Send(ContactMove, 202, 82);
    Send(ContactUp, 202, 82);
    EXPECT_EQ(picks.size(), 3u);

    // A click on the photos strip takes nothing: there it opens files, by a double-click.
    Make(StripPlacement::Bottom, StripContent::Photos, {150.0f});
    std::vector<QString> opened;
    QObject::connect(strip.get(), &Photostrip::thumbnailActivated,
                     [&opened](const QString& path) { opened.push_back(path); });
    now += 2000;
    Click(100, 100);
    EXPECT_TRUE(opened.empty());
    now += 100;
    Click(100, 100);
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(picks.size(), 3u);
}

TEST_F(StripMotionTest, TheWheelGlidesTheRowAlongWithinTheDragLimits)
{
    Make(StripPlacement::Top, StripContent::Frames, {487.5f, 487.5f}); // 1000 with the gap
    const float notch = Photostrip::kWheelNotchShare * 400;
    WheelTurn down;
    down.angleY = -120; // towards the user: further along the row
    ASSERT_TRUE(strip->OnWheel(down));
    EXPECT_FLOAT_EQ(strip->scrollOffset(), 0) << "it glides, it does not jump";
    TickUntilIdle();
    EXPECT_NEAR(strip->scrollOffset(), -notch, 0.5f);
    EXPECT_NEAR(Thumb(0).x(), 25 - notch, 0.5f) << "the thumbnails go along";

    // Notches in quick succession add up, and stop at the end of the row.
    for (int i = 0; i < 20; ++i) {
        strip->OnWheel(down);
        now += 10;
        strip->Tick(now);
    }
    TickUntilIdle();
    EXPECT_NEAR(strip->scrollOffset(), -720, 0.01f);
    // A tilt to the left (or the wheel away) goes back, no further than a drag may.
    WheelTurn left;
    left.angleX = 120 * 20;
    strip->OnWheel(left);
    TickUntilIdle();
    EXPECT_NEAR(strip->scrollOffset(), 120, 0.01f);

    // A touchpad's own pixels move the row at once, and stop a glide.
    strip->OnWheel(down);
    now += 10;
    strip->Tick(now);
    WheelTurn pad;
    pad.pixelY = -30;
    const float before = strip->scrollOffset();
    strip->OnWheel(pad);
    EXPECT_FLOAT_EQ(strip->scrollOffset(), before - 30);
    EXPECT_FALSE(strip->inertiaRunning());
    EXPECT_FALSE(strip->OnWheel(WheelTurn{})) << "no turn, nothing to take";
}

TEST_F(StripMotionTest, ClearingDuringAPickIsSafe)
{
    Make(StripPlacement::Top, StripContent::Frames, {150.0f});
    QObject::connect(strip.get(), &Photostrip::thumbnailPicked, [this] { strip->ClearStrip(); });
    Send(ContactDown, 100, 50);
    now += 20;
    Send(ContactMove, 100, 100);
    EXPECT_EQ(picks.size(), 1u);
    EXPECT_TRUE(strip->thumbnails().empty());
    now += 20;
    Send(ContactMove, 100, 120);
    Send(ContactUp, 100, 120);
}
