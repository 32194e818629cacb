#include "pipeline/BackdropControl.h"

void BackdropControl::SetPlayer(std::shared_ptr<BackdropPlayer> player, const QString& path)
{
    std::scoped_lock lock(mutex_);
    player_ = std::move(player);
    playerPath_ = player_ ? path : QString();
}

QString BackdropControl::playerPath() const
{
    std::scoped_lock lock(mutex_);
    return playerPath_;
}

bool BackdropControl::hasPlayer() const
{
    std::scoped_lock lock(mutex_);
    return player_ != nullptr;
}

void BackdropControl::PickColourAt(cv::Point point)
{
    std::scoped_lock lock(mutex_);
    pickAt_ = point;
}

std::optional<cv::Scalar> BackdropControl::TakePicked()
{
    std::scoped_lock lock(mutex_);
    if (picked_)
        toTell_ = picked_;
    return std::exchange(picked_, std::nullopt);
}

std::optional<cv::Scalar> BackdropControl::TakePickToTell()
{
    std::scoped_lock lock(mutex_);
    return std::exchange(toTell_, std::nullopt);
}

BackdropWork BackdropControl::Prepare(const BackdropSettings& settings, cv::Size size, double seconds)
{
    const bool learning = learning_;
    if (learning && !state_.learning) {
        state_.room.Reset();
        learntFrames_ = 0;
    }
    state_.learning = learning;
    std::shared_ptr<BackdropPlayer> player;
    {
        std::scoped_lock lock(mutex_);
        if (pickAt_)
            state_.pickAt = std::exchange(pickAt_, std::nullopt);
        if (settings.look == BackdropLook::Replace)
            player = player_;
    }
    BackdropWork work { state_, {}, seconds };
    // Decoded outside the lock: the interface thread may choose another meanwhile.
    if (player && !learning)
        work.picture = player->PictureAt(size, seconds);
    return work;
}

void BackdropControl::Finish(const BackdropWork& work)
{
    BackdropState& state = work.state;
    if (state.learning && state.room.ready())
        ++learntFrames_;
    roomReady_ = state.room.ready();
    if (state.sceneJustChanged)
        sceneChanged_ = true;
    if (state.picked) {
        std::scoped_lock lock(mutex_);
        picked_ = std::exchange(state.picked, std::nullopt);
    }
}
