#pragma once

// The steps of learning the empty room: a countdown for the user to leave the picture, then about
// a second of frames learnt. Times are seconds of one steady clock, given by the caller.
class RoomLearning {
public:
    static constexpr int kCountdownSeconds = 3;
    static constexpr double kLearnSeconds = 1.0;

    enum class Phase { Idle, Counting, Learning, Finished };

    // Starting again while it runs begins the countdown afresh.
    void Start(double now)
    {
        start_ = now;
        active_ = true;
    }
    void Cancel() { active_ = false; }
    bool active() const { return active_; }

    Phase At(double now) const
    {
        if (!active_)
            return Phase::Idle;
        const double since = now - start_;
        if (since < kCountdownSeconds)
            return Phase::Counting;
        if (since < kCountdownSeconds + kLearnSeconds)
            return Phase::Learning;
        return Phase::Finished;
    }

    // The countdown's number: 3, 2, 1 while counting, 0 otherwise.
    int SecondsLeft(double now) const
    {
        if (At(now) != Phase::Counting)
            return 0;
        const int whole = static_cast<int>(now - start_ < 0 ? 0 : now - start_);
        return kCountdownSeconds - whole;
    }

private:
    double start_ = 0;
    bool active_ = false;
};
