#include "decorations/ConstrainedPhoto.h"

#include <algorithm>
#include <cmath>

void ConstrainedPhoto::ManipulationStarted(float x, float y)
{
    // A new touch takes the thumbnail over from a running spring-back too; the spring-back
    // starts again after this release's inertia. Otherwise a touch during the spring-back
    // could leave the thumbnail out of place with no timer to bring it home.
    snapBack_ = false;
    Photo::ManipulationStarted(x, y);
}

void ConstrainedPhoto::ManipulationDelta(float, float dy)
{
    Translate(0.0f, dy);
}

void ConstrainedPhoto::ManipulationCompleted()
{
    Photo::ManipulationCompleted();
    if (!inertiaRunning_ && !snapBack_) {
        snapBack_ = true;
        timers().StartTimer(timerId());
    }
}

void ConstrainedPhoto::TimerTick(int64_t nowMs)
{
    Photo::TimerTick(nowMs);
    if (!snapBack_)
        return;
    ManipulationDelta(0.0f, (y_ - homeY()) * -kSnapBackFactor);
    if (std::fabs(y_ - homeY()) < kSnapBackDone) {
        snapBack_ = false;
        timers().KillTimer(timerId());
    }
}

void ConstrainedPhoto::Translate(float dx, float dy)
{
    Photo::Translate(dx, dy); // the pick test sees the position before clamping
    x_ = std::clamp(x_, static_cast<float>(moveRange_.xMin), static_cast<float>(moveRange_.xMax));
    y_ = std::clamp(y_, static_cast<float>(moveRange_.yMin), static_cast<float>(moveRange_.yMax));
}
