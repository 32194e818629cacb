#include "decorations/AddOnCollection.h"
#include "TestImages.h"

#include <QPainter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <random>
#include <thread>

namespace {

class AddOnCollectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        small = dir.filePath("small.png");
        ASSERT_TRUE(testimages::WritePng(small, 10, 10, Qt::blue));
    }

    // A collection whose placements are drawn from `engine`, so every run places alike.
    AddOnCollection MakeCollection()
    {
        return AddOnCollection([this] { return static_cast<uint32_t>(engine()); });
    }

    // An animated record from frames in memory, size w × h, playing.
    static AddOnRecord AnimatedRecord(int w, int h, QColor a, QColor b)
    {
        QImage first(w, h, QImage::Format_ARGB32_Premultiplied);
        first.fill(a);
        QImage second(w, h, QImage::Format_ARGB32_Premultiplied);
        second.fill(b);
        AddOnRecord record;
        record.animation = std::make_unique<ImageEx>(std::vector<QImage>{first, second},
                                                     std::vector<uint32_t>{5, 5});
        record.animation->Animate();
        record.width = w;
        record.height = h;
        return record;
    }

    static AddOnRecord StillRecord(int w, int h, QColor colour)
    {
        AddOnRecord record;
        record.still = QImage(w, h, QImage::Format_ARGB32_Premultiplied);
        record.still.fill(colour);
        record.width = w;
        record.height = h;
        return record;
    }

    QTemporaryDir dir;
    QString small;
    std::mt19937 engine{20240601};
};

TEST_F(AddOnCollectionTest, PlacementKeepsTheAddOnInsideThePicture)
{
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 640;
    addOns.areaHeight = 480;
    int maxX = 0;
    int maxY = 0;
    for (int i = 0; i < 400; ++i) {
        ASSERT_EQ(addOns.AddAddOn(small, static_cast<int>(DecorationKind::Png)), AddOnOutcome::Added);
        const AddOnRecord& r = addOns.still().back();
        ASSERT_EQ(r.width, 10);
        ASSERT_EQ(r.height, 10);
        EXPECT_GE(r.x, 0);
        EXPECT_LE(r.x, 628);
        EXPECT_GE(r.y, 0);
        EXPECT_LE(r.y, 468);
        EXPECT_EQ(r.bounds.left, r.x);
        EXPECT_EQ(r.bounds.top, r.y);
        EXPECT_EQ(r.bounds.right, r.x + 10);
        EXPECT_EQ(r.bounds.bottom, r.y + 10);
        maxX = std::max(maxX, r.x);
        maxY = std::max(maxY, r.y);
    }
    // The whole range is used, not a corner of it.
    EXPECT_GT(maxX, 500);
    EXPECT_GT(maxY, 350);
    EXPECT_EQ(addOns.stillCount(), 400);
    EXPECT_EQ(addOns.animatedCount(), 0);

    // Three free pixels leave the offsets 0 and 1 (free extent − 2 at most).
    addOns.areaWidth = 13;
    addOns.areaHeight = 13;
    bool seen[3] = {};
    for (int i = 0; i < 200; ++i) {
        addOns.AddAddOn(small, static_cast<int>(DecorationKind::Png));
        const AddOnRecord& r = addOns.still().back();
        ASSERT_LE(r.x, 1);
        ASSERT_LE(r.y, 1);
        seen[r.x] = true;
    }
    EXPECT_TRUE(seen[0] && seen[1]);
}

TEST_F(AddOnCollectionTest, EqualAddOnsPlacedWithinOneSecondLandOnDifferentSpots)
{
    AddOnCollection addOns; // the default generator, seeded once from the time
    addOns.areaWidth = 640;
    addOns.areaHeight = 480;
    for (int i = 0; i < 3; ++i)
        ASSERT_EQ(addOns.AddAddOn(small, static_cast<int>(DecorationKind::Png)), AddOnOutcome::Added);
    const auto spot = [&addOns](int i) { return std::pair(addOns.still()[i].x, addOns.still()[i].y); };
    EXPECT_FALSE(spot(0) == spot(1) && spot(1) == spot(2));
}

TEST_F(AddOnCollectionTest, InjectedGeneratorGivesAKnownPlacement)
{
    std::vector<uint32_t> draws = {1000, 2000, 5, 0xFFFFFFFFu};
    size_t next = 0;
    AddOnCollection addOns([&] { return draws.at(next++); });
    addOns.areaWidth = 640;
    addOns.areaHeight = 480;
    addOns.Insert(StillRecord(10, 10, Qt::blue), DecorationKind::Png);
    addOns.Insert(StillRecord(10, 10, Qt::blue), DecorationKind::Png);
    EXPECT_EQ(next, 4u); // one draw for x, then one for y, per placement
    // Free extents 630 × 470: each draw is taken modulo the free extent less one.
    EXPECT_EQ(addOns.still()[0].x, 1000 % 629);
    EXPECT_EQ(addOns.still()[0].y, 2000 % 469);
    EXPECT_EQ(addOns.still()[1].x, 5);
    EXPECT_EQ(addOns.still()[1].y, static_cast<int>(0xFFFFFFFFu % 469u)); // the largest draw stays in range
}

TEST_F(AddOnCollectionTest, AddOnAsLargeAsThePictureOrWithoutRoomSitsAtTheOrigin)
{
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 10;
    addOns.areaHeight = 300;
    addOns.AddAddOn(small, static_cast<int>(DecorationKind::Png)); // no free width
    EXPECT_EQ(addOns.still().back().x, 0);
    EXPECT_EQ(addOns.still().back().y, 0);

    addOns.areaWidth = 11; // one free pixel: no choice on that axis
    for (int i = 0; i < 20; ++i) {
        addOns.AddAddOn(small, static_cast<int>(DecorationKind::Png));
        EXPECT_EQ(addOns.still().back().x, 0);
        EXPECT_LE(addOns.still().back().y, 288);
    }
}

TEST_F(AddOnCollectionTest, UnknownKindAddsNothing)
{
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 640;
    addOns.areaHeight = 480;
    EXPECT_EQ(addOns.AddAddOn(small, 2), AddOnOutcome::UnknownKind);
    EXPECT_EQ(addOns.animatedCount() + addOns.stillCount(), 0);
}

TEST_F(AddOnCollectionTest, FailedLoadGivesAZeroSizeRecordThatIsNeverHit)
{
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 640;
    addOns.areaHeight = 480;
    ASSERT_EQ(addOns.AddAddOn(dir.filePath("missing.png"), static_cast<int>(DecorationKind::Png)),
              AddOnOutcome::Unreadable);
    ASSERT_EQ(addOns.AddAddOn(dir.filePath("missing.gif"), static_cast<int>(DecorationKind::Gif)),
              AddOnOutcome::Unreadable);
    ASSERT_EQ(addOns.stillCount(), 1);
    ASSERT_EQ(addOns.animatedCount(), 1);
    for (const AddOnRecord* r : {&addOns.still()[0], &addOns.animated()[0]}) {
        EXPECT_EQ(r->width, 0);
        EXPECT_EQ(r->height, 0);
        EXPECT_LE(r->x, 638);
        EXPECT_LE(r->y, 478);
        EXPECT_FALSE(addOns.PointerMove(r->x, r->y));
        EXPECT_EQ(addOns.hoveredIndex(), -1);
    }
    QImage picture(640, 480, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    addOns.Draw(painter); // draws nothing and does not crash
    painter.end();
    EXPECT_EQ(picture.pixel(addOns.still()[0].x, addOns.still()[0].y), QColor(Qt::black).rgb());
}

TEST_F(AddOnCollectionTest, AnimatedGifFromFilePlaysAndIsPlaced)
{
    const QColor palette[3] = {Qt::red, Qt::green, Qt::blue};
    const QString gif = dir.filePath("two.gif");
    ASSERT_TRUE(testimages::WriteGif(gif, 12, 8, {{0, 2}, {1, 2}}, palette));
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 640;
    addOns.areaHeight = 480;
    ASSERT_EQ(addOns.AddAddOn(gif, static_cast<int>(DecorationKind::Gif)), AddOnOutcome::Added);
    const AddOnRecord& r = addOns.animated()[0];
    EXPECT_EQ(r.width, 12);
    EXPECT_EQ(r.height, 8);
    ASSERT_TRUE(r.animation);
    EXPECT_EQ(r.animation->frameCount(), 2u);
    EXPECT_TRUE(r.animation->running());
    addOns.ClearAddOns();
    EXPECT_EQ(addOns.animatedCount(), 0);
}

TEST_F(AddOnCollectionTest, TheAddOnDrawnOnTopIsTheOneHoveredAndDragged)
{
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 20; // each fills the area, so all sit at (0, 0)
    addOns.areaHeight = 20;
    addOns.Insert(AnimatedRecord(20, 20, Qt::red, Qt::red), DecorationKind::Gif);
    addOns.Insert(StillRecord(20, 20, Qt::blue), DecorationKind::Png);
    addOns.Insert(AnimatedRecord(20, 20, Qt::green, Qt::green), DecorationKind::Gif);
    addOns.areaWidth = 200;
    addOns.areaHeight = 200;

    // Still over animated, later over earlier: blue, then green, then red. Each is dragged away in
    // turn, uncovering the next.
    const QColor expectedOrder[] = {Qt::blue, Qt::green, Qt::red};
    for (int turn = 0; turn < 3; ++turn) {
        QImage picture(20, 20, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::black);
        QPainter painter(&picture);
        addOns.Draw(painter);
        painter.end();
        ASSERT_EQ(picture.pixel(5, 5), expectedOrder[turn].rgb()) << turn;

        ASSERT_TRUE(addOns.PointerMove(5, 5));
        const AddOnRecord* under = turn == 0 ? &addOns.still()[0] : &addOns.animated()[turn == 1 ? 1 : 0];
        EXPECT_TRUE(under->hovered) << turn;
        int hoveredCount = 0;
        for (const auto* list : {&addOns.animated(), &addOns.still()})
            for (const AddOnRecord& r : *list)
                hoveredCount += r.hovered ? 1 : 0;
        EXPECT_EQ(hoveredCount, 1) << turn;

        addOns.PointerDown();
        addOns.PointerMove(100 + 25 * turn, 100);
        addOns.PointerUp();
        EXPECT_EQ(under->x, 90 + 25 * turn) << turn;
    }
}

TEST_F(AddOnCollectionTest, BoundsIncludeLeftAndTopButNotRightAndBottom)
{
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 20;
    addOns.areaHeight = 20;
    addOns.Insert(StillRecord(20, 20, Qt::blue), DecorationKind::Png);
    EXPECT_TRUE(addOns.PointerMove(0, 0));
    EXPECT_TRUE(addOns.PointerMove(19, 19));
    EXPECT_FALSE(addOns.PointerMove(20, 5));
    EXPECT_FALSE(addOns.PointerMove(5, 20));
    EXPECT_FALSE(addOns.PointerMove(-1, 5));
    EXPECT_EQ(addOns.hoveredIndex(), -1);
}

TEST_F(AddOnCollectionTest, DragCentresTheAddOnOnThePointerWhetherShownOrHidden)
{
    for (bool hidden : {false, true}) {
        AddOnCollection addOns = MakeCollection();
        addOns.areaWidth = 21;
        addOns.areaHeight = 11;
        addOns.Insert(StillRecord(21, 11, Qt::blue), DecorationKind::Png);
        addOns.areaWidth = 200;
        addOns.areaHeight = 100;
        if (hidden)
            addOns.ToggleAddOnsShown();
        EXPECT_EQ(addOns.shown(), !hidden);

        addOns.PointerDown(); // not over anything yet
        EXPECT_FALSE(addOns.dragging());
        ASSERT_TRUE(addOns.PointerMove(3, 3));
        addOns.PointerDown();
        EXPECT_TRUE(addOns.dragging());
        EXPECT_TRUE(addOns.PointerMove(100, 50));
        const AddOnRecord& r = addOns.still()[0];
        EXPECT_EQ(r.x, 100 - 10); // integer halves, truncated
        EXPECT_EQ(r.y, 50 - 5);
        EXPECT_EQ(r.bounds.right - r.bounds.left, 21);
        EXPECT_EQ(r.bounds.bottom, r.y + 11);
        EXPECT_TRUE(r.moving);
        addOns.PointerUp();
        EXPECT_FALSE(addOns.dragging());
        EXPECT_FALSE(r.moving);
        EXPECT_EQ(addOns.hoveredIndex(), -1);
    }
}

TEST_F(AddOnCollectionTest, DragKeepsTheCentreInsideThePictureAtEveryEdge)
{
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 21;
    addOns.areaHeight = 11;
    addOns.Insert(StillRecord(21, 11, Qt::blue), DecorationKind::Png);
    addOns.areaWidth = 200;
    addOns.areaHeight = 100;
    const AddOnRecord& r = addOns.still()[0];
    const auto centre = [&r] { return QPoint(r.bounds.left + 10, r.bounds.top + 5); };

    ASSERT_TRUE(addOns.PointerMove(3, 3));
    addOns.PointerDown();
    const struct {
        QPoint pointer;
        QPoint centre;
    } moves[] = {
        {{-50, 40}, {0, 40}},    // left
        {{500, 40}, {199, 40}},  // right
        {{80, -30}, {80, 0}},    // top
        {{80, 300}, {80, 99}},   // bottom
        {{-7, -9}, {0, 0}},      // a corner
        {{199, 99}, {199, 99}},  // on the last pixel: left as it is
    };
    for (const auto& move : moves) {
        addOns.PointerMove(move.pointer.x(), move.pointer.y());
        EXPECT_EQ(centre(), move.centre) << move.pointer.x() << "," << move.pointer.y();
        EXPECT_EQ(r.x, r.bounds.left);
        EXPECT_EQ(r.bounds.right - r.bounds.left, 21);
        EXPECT_EQ(r.bounds.bottom - r.bounds.top, 11);
    }
    addOns.PointerUp();
    // Still on the picture, so it can be grabbed again there.
    EXPECT_TRUE(addOns.PointerMove(199, 99));
    EXPECT_EQ(addOns.hoveredIndex(), 0);
}

TEST_F(AddOnCollectionTest, NoDragAfterAClearUntilThePointerMovesOverANewAddOn)
{
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 20;
    addOns.areaHeight = 20;
    addOns.Insert(StillRecord(20, 20, Qt::blue), DecorationKind::Png);
    ASSERT_TRUE(addOns.PointerMove(5, 5));
    addOns.PointerDown();
    ASSERT_TRUE(addOns.dragging());

    addOns.ClearAddOns();
    EXPECT_FALSE(addOns.dragging());
    EXPECT_EQ(addOns.hoveredIndex(), -1);
    addOns.PointerDown();
    EXPECT_FALSE(addOns.dragging());
    EXPECT_FALSE(addOns.PointerMove(5, 5)); // nothing there any more
    addOns.PointerDown();
    EXPECT_FALSE(addOns.dragging());

    addOns.Insert(StillRecord(20, 20, Qt::green), DecorationKind::Png);
    addOns.PointerDown(); // the pointer has not moved since
    EXPECT_FALSE(addOns.dragging());
    EXPECT_TRUE(addOns.PointerMove(6, 6));
    addOns.PointerDown();
    EXPECT_TRUE(addOns.dragging());
}

TEST_F(AddOnCollectionTest, HoveredStillAddOnStaysHoveredWhenAnAnimatedOneIsAdded)
{
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 20;
    addOns.areaHeight = 20;
    addOns.Insert(StillRecord(20, 20, Qt::blue), DecorationKind::Png);
    ASSERT_TRUE(addOns.PointerMove(5, 5));
    ASSERT_EQ(addOns.hoveredIndex(), 0);
    addOns.areaWidth = 640;
    addOns.areaHeight = 480;
    addOns.Insert(AnimatedRecord(4, 4, Qt::red, Qt::red), DecorationKind::Gif);
    const int32_t animatedX = addOns.animated()[0].x;
    addOns.PointerDown();
    addOns.PointerMove(300, 200);
    EXPECT_EQ(addOns.still()[0].x, 290); // the still one moved, not the new animated one
    EXPECT_EQ(addOns.animated()[0].x, animatedX);
}

TEST_F(AddOnCollectionTest, HidingPausesAnimationsAndShowingResumesThem)
{
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 640;
    addOns.areaHeight = 480;
    addOns.Insert(AnimatedRecord(8, 8, Qt::red, Qt::green), DecorationKind::Gif);
    addOns.Insert(AnimatedRecord(8, 8, Qt::red, Qt::green), DecorationKind::Gif);
    addOns.ToggleAddOnsShown();
    EXPECT_FALSE(addOns.shown());
    for (const AddOnRecord& r : addOns.animated())
        EXPECT_TRUE(r.animation->paused());

    // A paused animation holds its frame.
    std::this_thread::sleep_for(std::chrono::milliseconds(120));
    const uint32_t held = addOns.animated()[0].animation->currentFrame();
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_EQ(addOns.animated()[0].animation->currentFrame(), held);

    addOns.ToggleAddOnsShown();
    EXPECT_TRUE(addOns.shown());
    for (const AddOnRecord& r : addOns.animated())
        EXPECT_FALSE(r.animation->paused());
    addOns.ClearAddOns(); // stops the threads without hanging
}

TEST_F(AddOnCollectionTest, DrawsAnimatedInListOrderThenStill)
{
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 10;
    addOns.areaHeight = 10;
    addOns.Insert(StillRecord(10, 10, Qt::blue), DecorationKind::Png);
    addOns.Insert(AnimatedRecord(10, 10, Qt::red, Qt::red), DecorationKind::Gif);
    addOns.Insert(AnimatedRecord(10, 10, Qt::green, Qt::green), DecorationKind::Gif);
    addOns.Insert(StillRecord(10, 10, QColor(255, 255, 0, 0)), DecorationKind::Png); // fully transparent

    QImage picture(10, 10, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    addOns.Draw(painter);
    painter.end();
    EXPECT_EQ(picture.pixel(4, 4), QColor(Qt::blue).rgb());

    addOns.ClearAddOns();
    addOns.Insert(AnimatedRecord(10, 10, Qt::red, Qt::red), DecorationKind::Gif);
    addOns.Insert(AnimatedRecord(10, 10, Qt::green, Qt::green), DecorationKind::Gif);
    picture.fill(Qt::black);
    painter.begin(&picture);
    addOns.Draw(painter);
    painter.end();
    EXPECT_EQ(picture.pixel(4, 4), QColor(Qt::green).rgb());
}

} // namespace

namespace {

// Placing by serial (what stickers that follow faces use): serials name records across inserts
// of either kind, a placed record is drawn over its new bounds, and the pointer's record is left
// to the pointer.
TEST_F(AddOnCollectionTest, PlacingBySerialMovesAndScalesTheRecordButNotOneBeingDragged)
{
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 200;
    addOns.areaHeight = 100;
    const std::uint64_t still = addOns.Insert(StillRecord(10, 10, Qt::blue), DecorationKind::Png);
    const std::uint64_t animated = addOns.Insert(AnimatedRecord(10, 10, Qt::red, Qt::red), DecorationKind::Gif);
    ASSERT_NE(still, animated);
    EXPECT_EQ(addOns.Find(still), &addOns.still()[0]);
    EXPECT_EQ(addOns.Find(animated), &addOns.animated()[0]);
    EXPECT_EQ(addOns.Find(still + animated + 1), nullptr);

    ASSERT_TRUE(addOns.PlaceAt(still, { 100, 50, 140, 90 }));
    const AddOnRecord& r = addOns.still()[0];
    EXPECT_EQ(r.x, 100);
    EXPECT_EQ(r.y, 50);
    EXPECT_EQ(r.width, 10) << "the natural size stays";
    QImage picture(200, 100, QImage::Format_ARGB32_Premultiplied);
    picture.fill(Qt::black);
    {
        QPainter painter(&picture);
        r.Draw(painter);
    }
    EXPECT_EQ(picture.pixel(101, 51), QColor(Qt::blue).rgb());
    EXPECT_EQ(picture.pixel(138, 88), QColor(Qt::blue).rgb());
    EXPECT_EQ(picture.pixel(141, 70), QColor(Qt::black).rgb());

    // Grabbed by the pointer: placing leaves it be; letting go reports which one was moved.
    ASSERT_TRUE(addOns.PointerMove(120, 70));
    addOns.PointerDown();
    addOns.PointerMove(60, 40);
    EXPECT_FALSE(addOns.PlaceAt(still, { 0, 0, 40, 40 }));
    EXPECT_EQ(r.x, 40);
    EXPECT_EQ(addOns.PointerUp(), still);
    // A click without a move moved nothing.
    ASSERT_TRUE(addOns.PointerMove(60, 40));
    addOns.PointerDown();
    EXPECT_EQ(addOns.PointerUp(), 0u);
}

} // namespace

TEST_F(AddOnCollectionTest, CopiesOfALargeAnimationShareFewFramesAtThePicturesSize)
{
    // 200 frames of 1000 × 1000 would hold about 800 MB decoded, for every copy.
    const QString gif = dir.filePath("big.gif");
    ASSERT_TRUE(testimages::WriteSparseGif(gif, 1000, 1000, 200, 5));
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 640;
    addOns.areaHeight = 480;
    for (int i = 0; i < 9; ++i)
        ASSERT_EQ(addOns.AddAddOn(gif, static_cast<int>(DecorationKind::Gif)), AddOnOutcome::Added);
    ASSERT_EQ(addOns.animatedCount(), 9);
    std::shared_ptr<ImageEx> shared = addOns.animated()[0].animation;
    for (const AddOnRecord& r : addOns.animated()) {
        EXPECT_EQ(r.animation, shared);
        EXPECT_EQ(r.width, 480) << "never larger than the picture";
        EXPECT_EQ(r.height, 480);
    }
    EXPECT_EQ(shared->frameCount(), 200u);
    EXPECT_EQ(shared->frameDelays().size(), 200u);
    EXPECT_TRUE(shared->running());
    const qint64 frameBytes = qint64{480} * 480 * 4;
    EXPECT_LE(shared->heldBytes(), (ImageEx::kFramesAhead + 1) * frameBytes);

    // Another size of picture is another animation; the last copy's release ends the thread.
    addOns.areaWidth = 320;
    addOns.areaHeight = 240;
    ASSERT_EQ(addOns.AddAddOn(gif, static_cast<int>(DecorationKind::Gif)), AddOnOutcome::Added);
    EXPECT_NE(addOns.animated().back().animation, shared);
    EXPECT_EQ(addOns.animated().back().width, 240);
    const std::weak_ptr<ImageEx> watched = shared;
    shared.reset();
    addOns.ToggleAddOnsShown();
    EXPECT_TRUE(watched.lock()->paused());
    addOns.ClearAddOns();
    EXPECT_TRUE(watched.expired());
}

TEST_F(AddOnCollectionTest, FileWhoseFramesExceedTheBudgetIsRefusedAndNothingIsAdded)
{
    // A few hundred bytes announcing frames of 9000 × 9000 (324 MB each).
    const QString gif = dir.filePath("huge.gif");
    ASSERT_TRUE(testimages::WriteSparseGif(gif, 9000, 9000, 3, 5));
    const QString png = dir.filePath("huge.png");
    ASSERT_TRUE(testimages::WritePng(png, 1, 1, Qt::red));
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 640;
    addOns.areaHeight = 480;
    EXPECT_EQ(addOns.AddAddOn(gif, static_cast<int>(DecorationKind::Gif)), AddOnOutcome::TooLarge);
    EXPECT_EQ(addOns.animatedCount() + addOns.stillCount(), 0);
    ImageEx image(gif);
    EXPECT_EQ(image.loadOutcome(), ImageEx::LoadOutcome::TooLarge);
    EXPECT_FALSE(image.ready());
    EXPECT_EQ(image.heldBytes(), 0);
}

namespace {

// One add-on off the picture: the one under the pointer, else the one last grabbed; the others
// stay, and no index left behind names another add-on.
TEST_F(AddOnCollectionTest, TheAddOnUnderThePointerOrTheLastGrabbedIsTheOneRemoved)
{
    AddOnCollection addOns = MakeCollection();
    addOns.areaWidth = 20;
    addOns.areaHeight = 20;
    const std::uint64_t red = addOns.Insert(AnimatedRecord(20, 20, Qt::red, Qt::red), DecorationKind::Gif);
    const std::uint64_t blue = addOns.Insert(StillRecord(20, 20, Qt::blue), DecorationKind::Png);
    const std::uint64_t green = addOns.Insert(AnimatedRecord(20, 20, Qt::green, Qt::green), DecorationKind::Gif);
    addOns.areaWidth = 200;
    addOns.areaHeight = 200;
    EXPECT_EQ(addOns.removable(), 0u); // nothing hovered, nothing grabbed yet

    // Grab the blue one (on top) and drag it away; the pointer leaves it.
    ASSERT_TRUE(addOns.PointerMove(5, 5));
    EXPECT_EQ(addOns.removable(), blue);
    addOns.PointerDown();
    addOns.PointerMove(150, 150);
    addOns.PointerUp();
    EXPECT_FALSE(addOns.PointerMove(60, 60));
    EXPECT_EQ(addOns.removable(), blue); // the last one grabbed

    // Over the green one, it is the one under the pointer that goes.
    ASSERT_TRUE(addOns.PointerMove(5, 5));
    EXPECT_EQ(addOns.removable(), green);
    std::vector<AddOnRecord> taken = addOns.Take(green);
    ASSERT_EQ(taken.size(), 1u);
    EXPECT_EQ(taken[0].serial, green);
    AddOnCollection::Release(std::move(taken));
    EXPECT_EQ(addOns.hoveredIndex(), -1);
    EXPECT_EQ(addOns.Find(green), nullptr);
    ASSERT_NE(addOns.Find(red), nullptr);
    EXPECT_EQ(addOns.removable(), blue);
    EXPECT_TRUE(addOns.Take(green).empty()); // gone already

    EXPECT_EQ(addOns.Take(blue).size(), 1u);
    EXPECT_EQ(addOns.removable(), 0u); // the last grabbed one went: nothing to take
    EXPECT_EQ(addOns.animatedCount() + addOns.stillCount(), 1);
    ASSERT_TRUE(addOns.PointerMove(5, 5));
    EXPECT_EQ(addOns.removable(), red);
}

} // namespace
