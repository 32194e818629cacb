#pragma once

#include "decorations/ManipulationProcessor.h"

#include <cstdint>

// Continues a released motion in a straight line, slowing at a constant rate until it stops,
// then reports Completed once. It never reports a start. Time comes from the caller.
class InertiaProcessor {
public:
    explicit InertiaProcessor(ManipulationEvents* sink) : sink_(sink) {}

    // Arms a new continuation; the first Process call sets its start time.
    void Start(float velocityX, float velocityY, float angularVelocity);
    void SetDesiredDeceleration(float pixelsPerMs2) { deceleration_ = pixelsPerMs2; }
    void SetDesiredAngularDeceleration(float radiansPerMs2) { angularDeceleration_ = radiansPerMs2; }

    // Reports the motion up to nowMs; true once the continuation has completed.
    bool Process(int64_t nowMs);
    bool running() const { return armed_; }
    // Distance still to go along x and y before the continuation stops; 0 when none runs.
    float RemainingX() const { return armed_ ? directionX_ * Remaining() : 0.0f; }
    float RemainingY() const { return armed_ ? directionY_ * Remaining() : 0.0f; }

    // Total distance a release speed (px/ms) travels before stopping.
    static float StoppingDistance(float speed, float deceleration);

private:
    float Remaining() const { return StoppingDistance(speed_, deceleration_) - travelled_; }

    ManipulationEvents* sink_;
    float directionX_ = 0.0f;
    float directionY_ = 0.0f;
    float speed_ = 0.0f;
    float angularVelocity_ = 0.0f;
    float deceleration_ = 0.0f;
    float angularDeceleration_ = 0.0f;
    bool armed_ = false;
    bool started_ = false;
    int64_t startTime_ = 0;
    float travelled_ = 0.0f;
};
