#include "decorations/ManipulationProcessor.h"

ManipulationProcessor::Point ManipulationProcessor::Centroid() const
{
    Point c{0.0f, 0.0f};
    for (const auto& [id, p] : contacts_) {
        c.x += p.x;
        c.y += p.y;
    }
    const float n = static_cast<float>(contacts_.size());
    return {c.x / n, c.y / n};
}

void ManipulationProcessor::Record(int64_t timeMs)
{
    history_.push_back({timeMs, cumulativeX_, cumulativeY_});
    while (history_.size() > 2 && history_.back().time - history_[1].time >= kVelocityWindowMs)
        history_.pop_front();
}

void ManipulationProcessor::UpdateVelocity()
{
    velocityX_ = velocityY_ = 0.0f;
    if (history_.size() < 2)
        return;
    const Sample& first = history_.front();
    const Sample& last = history_.back();
    const int64_t dt = last.time - first.time;
    if (dt <= 0)
        return;
    velocityX_ = (last.x - first.x) / static_cast<float>(dt);
    velocityY_ = (last.y - first.y) / static_cast<float>(dt);
}

void ManipulationProcessor::ProcessDownWithTime(uint32_t id, float x, float y, int64_t timeMs)
{
    const bool first = contacts_.empty();
    contacts_[id] = {x, y}; // adding a contact moves the centroid but is no motion
    if (first) {
        cumulativeX_ = cumulativeY_ = 0.0f;
        velocityX_ = velocityY_ = 0.0f;
        history_.clear();
        Record(timeMs);
        sink_->ManipulationStarted(x, y);
    }
}

void ManipulationProcessor::ProcessMoveWithTime(uint32_t id, float x, float y, int64_t timeMs)
{
    auto it = contacts_.find(id);
    if (it == contacts_.end())
        return;
    const Point before = Centroid();
    it->second = {x, y};
    const Point after = Centroid();
    const float dx = after.x - before.x;
    const float dy = after.y - before.y;
    cumulativeX_ += dx;
    cumulativeY_ += dy;
    Record(timeMs);
    UpdateVelocity();
    if (dx != 0.0f || dy != 0.0f)
        sink_->ManipulationDelta(dx, dy); // may re-enter and end this contact
}

void ManipulationProcessor::ProcessUpWithTime(uint32_t id, float x, float y, int64_t timeMs)
{
    if (!contacts_.contains(id))
        return;
    ProcessMoveWithTime(id, x, y, timeMs);
    if (contacts_.erase(id) == 0)
        return; // the delta handler already ended it
    if (contacts_.empty())
        sink_->ManipulationCompleted();
}

void ManipulationProcessor::CompleteManipulation()
{
    if (contacts_.empty())
        return;
    contacts_.clear();
    sink_->ManipulationCompleted();
}
