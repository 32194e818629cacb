#pragma once

#include "decorations/Photo.h"

// A thumbnail that moves only vertically, within a move range, and springs back to its resting
// place once a release's inertia has run out.
class ConstrainedPhoto : public Photo {
public:
    static constexpr float kSnapBackFactor = 0.1f; // of the remaining distance per tick
    static constexpr float kSnapBackDone = 2.0f;   // pixels from home

    using Photo::Photo;

    void SetMoveRange(const CornerBounds& range) { moveRange_ = range; }
    const CornerBounds& moveRange() const { return moveRange_; }
    bool snapBack() const { return snapBack_; }

    void ManipulationStarted(float x, float y) override;
    void ManipulationDelta(float dx, float dy) override;
    void ManipulationCompleted() override;
    void TimerTick(int64_t nowMs) override;
    void Translate(float dx, float dy) override;

private:
    bool snapBack_ = false;
    CornerBounds moveRange_;
};
