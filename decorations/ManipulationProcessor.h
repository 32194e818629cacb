#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>

// Receives what the manipulation and inertia processors make of the contacts.
class ManipulationEvents {
public:
    virtual ~ManipulationEvents() = default;
    virtual void ManipulationStarted(float x, float y) = 0;
    // Translation since the previous event, in the coordinates of the contacts.
    virtual void ManipulationDelta(float dx, float dy) = 0;
    virtual void ManipulationCompleted() = 0;
};

// Turns down, move and up contacts into translation deltas of the contacts' centroid, and
// estimates the release velocity. Started comes with the first contact down, Completed when the
// last one is up. Calls may re-enter from inside the events (a pick releases the contact).
class ManipulationProcessor {
public:
    explicit ManipulationProcessor(ManipulationEvents* sink) : sink_(sink) {}

    void ProcessDownWithTime(uint32_t id, float x, float y, int64_t timeMs);
    void ProcessMoveWithTime(uint32_t id, float x, float y, int64_t timeMs);
    void ProcessUpWithTime(uint32_t id, float x, float y, int64_t timeMs);
    // Ends the manipulation at once, as if every contact were released.
    void CompleteManipulation();

    // Velocity in pixels per millisecond over the last moments of the manipulation.
    float VelocityX() const { return velocityX_; }
    float VelocityY() const { return velocityY_; }
    float AngularVelocity() const { return 0.0f; } // rotation is not tracked
    size_t contactCount() const { return contacts_.size(); }

    // Samples older than this before the newest one do not count for the velocity.
    static constexpr int64_t kVelocityWindowMs = 100;

private:
    struct Point {
        float x;
        float y;
    };
    struct Sample {
        int64_t time;
        float x; // cumulative translation
        float y;
    };
    Point Centroid() const;
    void Record(int64_t timeMs);
    void UpdateVelocity();

    ManipulationEvents* sink_;
    std::map<uint32_t, Point> contacts_;
    float cumulativeX_ = 0.0f;
    float cumulativeY_ = 0.0f;
    std::deque<Sample> history_;
    float velocityX_ = 0.0f;
    float velocityY_ = 0.0f;
};
