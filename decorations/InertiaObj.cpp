#include "decorations/InertiaObj.h"

InertiaObj::InertiaObj(TimerHost& timers, int timerId)
    : timers_(timers), timerId_(timerId), manipulation_(this), inertia_(this)
{
}

InertiaObj::~InertiaObj() = default;

void InertiaObj::Feed(const ContactRecord& contact)
{
    const float x = static_cast<float>(contact.x);
    const float y = static_cast<float>(contact.y);
    const int64_t t = contact.time;
    if (contact.flags & ContactDown)
        manipulation_.ProcessDownWithTime(contact.identifier, x, y, t);
    else if (contact.flags & ContactMove)
        manipulation_.ProcessMoveWithTime(contact.identifier, x, y, t);
    else if (contact.flags & ContactUp)
        manipulation_.ProcessUpWithTime(contact.identifier, x, y, t);
}

void InertiaObj::ManipulationStarted(float, float)
{
    // A new touch stops whatever motion is still going on.
    inertiaRunning_ = false;
    timers_.KillTimer(timerId_);
}

void InertiaObj::ManipulationCompleted()
{
    if (inertiaRunning_) {
        inertiaRunning_ = false;
        timers_.KillTimer(timerId_);
        return;
    }
    inertia_.Start(manipulation_.VelocityX(), manipulation_.VelocityY(),
                   manipulation_.AngularVelocity());
    inertia_.SetDesiredDeceleration(kDeceleration);
    inertia_.SetDesiredAngularDeceleration(kAngularDeceleration);
    inertiaRunning_ = true;
    timers_.StartTimer(timerId_);
}

void InertiaObj::StartInertia(float velocityX, float velocityY)
{
    inertia_.Start(velocityX, velocityY, 0.0f);
    inertia_.SetDesiredDeceleration(kDeceleration);
    inertia_.SetDesiredAngularDeceleration(kAngularDeceleration);
    inertiaRunning_ = true;
    timers_.StartTimer(timerId_);
}

void InertiaObj::StopInertia()
{
    inertiaRunning_ = false;
    timers_.KillTimer(timerId_);
}

void InertiaObj::TimerTick(int64_t nowMs)
{
    if (inertiaRunning_)
        inertia_.Process(nowMs);
}
