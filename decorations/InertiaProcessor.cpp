#include "decorations/InertiaProcessor.h"

#include <cmath>

void InertiaProcessor::Start(float velocityX, float velocityY, float angularVelocity)
{
    speed_ = std::hypot(velocityX, velocityY);
    directionX_ = speed_ > 0.0f ? velocityX / speed_ : 0.0f;
    directionY_ = speed_ > 0.0f ? velocityY / speed_ : 0.0f;
    angularVelocity_ = angularVelocity;
    travelled_ = 0.0f;
    started_ = false;
    armed_ = true;
}

float InertiaProcessor::StoppingDistance(float speed, float deceleration)
{
    if (deceleration <= 0.0f)
        return 0.0f;
    return speed * speed / (2.0f * deceleration);
}

bool InertiaProcessor::Process(int64_t nowMs)
{
    if (!armed_)
        return true;
    if (!started_) {
        started_ = true;
        startTime_ = nowMs;
    }
    // Without a deceleration the motion would never end; treat it as stopping at once.
    const float duration = deceleration_ > 0.0f ? speed_ / deceleration_ : 0.0f;
    const float t = static_cast<float>(nowMs - startTime_);
    const bool done = t >= duration;
    const float position = done ? StoppingDistance(speed_, deceleration_)
                                : speed_ * t - 0.5f * deceleration_ * t * t;
    const float step = position - travelled_;
    travelled_ = position;
    if (step != 0.0f)
        sink_->ManipulationDelta(directionX_ * step, directionY_ * step);
    if (done && armed_) {
        armed_ = false;
        sink_->ManipulationCompleted();
    }
    return !armed_;
}
