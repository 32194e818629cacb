#include "decorations/TouchOverlay.h"
#include "decorations/TouchTargetRegistry.h"
#include "strip_test_support.h"

#include <QTimer>
#include <QTouchEvent>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace {

// A rectangle that records the contacts it receives.
class RecordingTarget : public ITouchTarget {
public:
    RecordingTarget(float left, float top, float right, float bottom)
        : left_(left), top_(top), right_(right), bottom_(bottom)
    {
    }
    bool HitTest(float x, float y) override
    {
        return x >= left_ && x < right_ && y >= top_ && y < bottom_;
    }
    void OnContact(const ContactRecord& contact) override { received.push_back(contact); }
    bool OnWheel(const WheelTurn& turn) override
    {
        wheels.push_back(turn);
        return true;
    }

    std::vector<ContactRecord> received;
    std::vector<WheelTurn> wheels;

private:
    float left_, top_, right_, bottom_;
};

class TouchRoutingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureStripTestApp();
        overlay = std::make_unique<TouchOverlay>(nullptr, 300, 700);
        overlay->targets().Add(&upper);
        overlay->targets().Add(&lower);
    }

    RecordingTarget upper{0, 0, 300, 280};
    RecordingTarget lower{0, 280, 300, 700};
    std::unique_ptr<TouchOverlay> overlay;
};

} // namespace

TEST(TouchTargetRegistryTest, HitTestMapsToFirstTargetInListOrder)
{
    RecordingTarget a(0, 0, 100, 100), b(0, 0, 200, 200);
    TouchTargetRegistry registry;
    registry.Add(&a);
    registry.Add(&b);
    EXPECT_TRUE(registry.HitTest(7, 50, 50));
    EXPECT_EQ(registry.Find(7), &a);
    EXPECT_TRUE(registry.HitTest(7, 150, 150)); // a new down replaces the old mapping
    EXPECT_EQ(registry.Find(7), &b);
    EXPECT_FALSE(registry.HitTest(7, 500, 500));
    EXPECT_EQ(registry.Find(7), nullptr) << "a miss must not leave the old mapping behind";
}

TEST(TouchTargetRegistryTest, RemoveLeavesContactsButRemoveContactsOfDropsThem)
{
    RecordingTarget a(0, 0, 100, 100);
    TouchTargetRegistry registry;
    registry.Add(&a);
    registry.HitTest(1, 10, 10);
    registry.HitTest(2, 20, 20);
    registry.Remove(&a);
    EXPECT_TRUE(registry.targets().empty());
    EXPECT_EQ(registry.Find(1), &a);
    EXPECT_FALSE(registry.HitTest(3, 10, 10));
    registry.RemoveContactsOf(&a);
    EXPECT_EQ(registry.Find(1), nullptr);
    EXPECT_EQ(registry.Find(2), nullptr);
    registry.Erase(42); // erasing an unknown contact is harmless
}

TEST_F(TouchRoutingTest, FingerSlidingOntoAnotherTargetKeepsDrivingTheFirst)
{
    overlay->HandleTouchContacts({MakeContact(5, ContactDown, 100, 100, 1000)});
    overlay->HandleTouchContacts({MakeContact(5, ContactMove, 100, 400, 1010)});
    overlay->HandleTouchContacts({MakeContact(5, ContactUp, 100, 500, 1020)});
    ASSERT_EQ(upper.received.size(), 3u);
    EXPECT_TRUE(lower.received.empty());
    EXPECT_EQ(upper.received[1].y, 400);
    EXPECT_EQ(upper.received[2].flags, static_cast<uint32_t>(ContactUp));
    EXPECT_EQ(overlay->touchesDown(), 0u);
}

TEST_F(TouchRoutingTest, TwoFingersGoToTheirOwnTargets)
{
    overlay->HandleTouchContacts({MakeContact(1, ContactDown, 10, 10, 0),
                                  MakeContact(2, ContactDown, 10, 600, 0)});
    EXPECT_EQ(overlay->touchesDown(), 2u);
    overlay->HandleTouchContacts({MakeContact(1, ContactMove, 20, 10, 5),
                                  MakeContact(2, ContactMove, 20, 600, 5)});
    EXPECT_EQ(upper.received.size(), 2u);
    EXPECT_EQ(lower.received.size(), 2u);
    EXPECT_EQ(lower.received.back().identifier, 2u);
}

TEST_F(TouchRoutingTest, DownOutsideEveryTargetDropsItsMoves)
{
    overlay->HandleTouchContacts({MakeContact(9, ContactDown, 400, 100, 0)});
    overlay->HandleTouchContacts({MakeContact(9, ContactMove, 100, 100, 10)});
    EXPECT_TRUE(upper.received.empty());
    EXPECT_TRUE(lower.received.empty());
}

TEST_F(TouchRoutingTest, MouseIsContactZeroForTheTargetUnderThePress)
{
    overlay->HandleMouse(MouseAction::Move, 50, 50, 1); // no button: goes nowhere
    overlay->HandleMouse(MouseAction::Press, 50, 300, 2);
    overlay->HandleMouse(MouseAction::Move, 60, 100, 3);
    overlay->HandleMouse(MouseAction::Release, 70, 90, 4);
    overlay->HandleMouse(MouseAction::Move, 80, 300, 5);
    EXPECT_TRUE(upper.received.empty());
    ASSERT_EQ(lower.received.size(), 3u);
    const uint32_t expected[] = {ContactDown, ContactMove, ContactUp};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(lower.received[i].flags, expected[i]);
        EXPECT_EQ(lower.received[i].identifier, 0u);
        EXPECT_EQ(lower.received[i].source, 0u);
        EXPECT_EQ(lower.received[i].time, i + 2);
    }
    EXPECT_EQ(lower.received[1].x, 60);
    EXPECT_EQ(lower.received[1].y, 100);
}

TEST_F(TouchRoutingTest, MouseIsIgnoredWhileAFingerIsDown)
{
    overlay->HandleTouchContacts({MakeContact(3, ContactDown, 10, 10, 0)});
    overlay->HandleMouse(MouseAction::Press, 50, 300, 1);
    overlay->HandleMouse(MouseAction::Move, 50, 310, 2);
    EXPECT_TRUE(lower.received.empty());
    overlay->HandleTouchContacts({MakeContact(3, ContactUp, 10, 10, 3)});
    overlay->HandleMouse(MouseAction::Move, 50, 320, 4); // the press was ignored, so no target
    EXPECT_TRUE(lower.received.empty());
    overlay->HandleMouse(MouseAction::Release, 50, 320, 5);
    overlay->HandleMouse(MouseAction::Press, 50, 300, 6);
    EXPECT_EQ(lower.received.size(), 1u);
}

TEST_F(TouchRoutingTest, TheWheelGoesToTheTargetUnderThePointerWhileNoFingerIsDown)
{
    const QPointF at(50, 400);
    QWheelEvent wheel(at, overlay->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(overlay.get(), &wheel);
    EXPECT_TRUE(wheel.isAccepted());
    ASSERT_EQ(lower.wheels.size(), 1u);
    EXPECT_EQ(lower.wheels[0].angleY, -120);
    EXPECT_TRUE(upper.wheels.empty());
    EXPECT_EQ(lower.received.size(), 0u) << "a wheel is no contact";

    WheelTurn turn;
    turn.angleY = 120;
    EXPECT_FALSE(overlay->HandleWheel(400, 100, turn)) << "outside every target";
    overlay->HandleTouchContacts({MakeContact(3, ContactDown, 10, 10, 0)});
    EXPECT_FALSE(overlay->HandleWheel(50, 100, turn));
    EXPECT_TRUE(upper.wheels.empty());
}

TEST_F(TouchRoutingTest, TouchEventsBecomeContactsWithStableNonZeroIdentifiers)
{
    QPointingDevice device(QStringLiteral("test touch"), 77, QInputDevice::DeviceType::TouchScreen,
                           QPointingDevice::PointerType::Finger,
                           QInputDevice::Capability::Position, 10, 0);
    auto send = [&](QEvent::Type type, QEventPoint::State state, QPointF at, quint64 time) {
        QTouchEvent event(type, &device, Qt::NoModifier, {QEventPoint(0, state, at, at)});
        event.setTimestamp(time);
        QCoreApplication::sendEvent(overlay.get(), &event);
    };
    send(QEvent::TouchBegin, QEventPoint::Pressed, {40.7, 500.2}, 100);
    send(QEvent::TouchUpdate, QEventPoint::Updated, {41.0, 300.0}, 110);
    EXPECT_EQ(overlay->touchesDown(), 1u);
    send(QEvent::TouchEnd, QEventPoint::Released, {42.0, 300.0}, 120);
    EXPECT_EQ(overlay->touchesDown(), 0u);
    ASSERT_EQ(lower.received.size(), 3u);
    EXPECT_NE(lower.received[0].identifier, 0u) << "0 belongs to the mouse";
    EXPECT_EQ(lower.received[1].identifier, lower.received[0].identifier);
    EXPECT_EQ(lower.received[2].flags, static_cast<uint32_t>(ContactUp));
    EXPECT_EQ(lower.received[0].x, 40);
    EXPECT_EQ(lower.received[0].y, 500);
    EXPECT_EQ(lower.received[1].time, 110u);
}

TEST_F(TouchRoutingTest, CancelledTouchEndsEveryContactWhereItWas)
{
    QPointingDevice device(QStringLiteral("test touch 2"), 78,
                           QInputDevice::DeviceType::TouchScreen,
                           QPointingDevice::PointerType::Finger,
                           QInputDevice::Capability::Position, 10, 0);
    QTouchEvent begin(QEvent::TouchBegin, &device, Qt::NoModifier,
                      {QEventPoint(4, QEventPoint::Pressed, {10, 10}, {10, 10})});
    QCoreApplication::sendEvent(overlay.get(), &begin);
    QTouchEvent cancel(QEvent::TouchCancel, &device, Qt::NoModifier, QList<QEventPoint>{});
    QCoreApplication::sendEvent(overlay.get(), &cancel);
    EXPECT_EQ(overlay->touchesDown(), 0u);
    ASSERT_EQ(upper.received.size(), 2u);
    EXPECT_EQ(upper.received[1].flags, static_cast<uint32_t>(ContactUp));
    EXPECT_EQ(upper.received[1].x, 10);
}

TEST(TouchOverlayLifetimeTest, DestroyingTheOverlayDoesNotQuitTheProgram)
{
    EnsureStripTestApp();
    QWidget pane;
    pane.resize(100, 100);
    auto* overlay = new TouchOverlay(&pane, 100, 100);
    pane.show();
    QTimer::singleShot(0, [overlay] { delete overlay; });
    QTimer::singleShot(50, [] { QCoreApplication::exit(42); });
    EXPECT_EQ(QCoreApplication::exec(), 42) << "the event loop ended before the test ended it";
}
