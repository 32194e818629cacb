#pragma once

#include "decorations/ContactRecord.h"
#include "decorations/InertiaProcessor.h"
#include "decorations/ManipulationProcessor.h"
#include "decorations/TouchTargetRegistry.h"

#include <cstdint>

// The 10 ms motion timers live on the strip; each object addresses its own by its id.
class TimerHost {
public:
    virtual ~TimerHost() = default;
    virtual void StartTimer(int timerId) = 0; // (re)starts the 10 ms timer
    virtual void KillTimer(int timerId) = 0;
};

// Common base of the strip and its thumbnails: a manipulation processor fed with contacts, an
// inertia processor that continues the motion after release, both reporting to this object.
// The owner kills the object's timer before destroying it (the host may already be gone).
class InertiaObj : public ManipulationEvents, public ITouchTarget {
public:
    static constexpr int kTimerIntervalMs = 10;
    static constexpr float kDeceleration = 0.006f;          // pixels per ms²
    static constexpr float kAngularDeceleration = 0.00002f; // radians per ms²

    InertiaObj(TimerHost& timers, int timerId);
    ~InertiaObj() override;
    InertiaObj(const InertiaObj&) = delete;
    InertiaObj& operator=(const InertiaObj&) = delete;

    void ManipulationStarted(float x, float y) override;
    void ManipulationCompleted() override;
    // One step of the motion timer; nowMs is any steadily rising millisecond clock.
    virtual void TimerTick(int64_t nowMs);

    bool inertiaRunning() const { return inertiaRunning_; }
    // Starts the continuation at this velocity (pixels per ms), as a release at that speed would,
    // without a touch before it.
    void StartInertia(float velocityX, float velocityY);
    // Where a running continuation will still carry the object; 0 when none runs.
    float InertiaRemainingX() const { return inertiaRunning_ ? inertia_.RemainingX() : 0.0f; }
    // Ends a running continuation where it is.
    void StopInertia();
    int timerId() const { return timerId_; }
    ManipulationProcessor& manipulation() { return manipulation_; }

protected:
    // Passes a down, move or up contact to the manipulation processor; others are ignored.
    void Feed(const ContactRecord& contact);
    TimerHost& timers() { return timers_; }

    bool inertiaRunning_ = false;

private:
    TimerHost& timers_;
    int timerId_;
    ManipulationProcessor manipulation_;
    InertiaProcessor inertia_;
};
