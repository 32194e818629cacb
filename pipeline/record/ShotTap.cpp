#include "pipeline/record/ShotTap.h"

void ShotTap::SetTaken(Taken onTaken)
{
    std::scoped_lock lock(lock_);
    onTaken_ = std::move(onTaken);
}

void ShotTap::Arm(int shot)
{
    std::scoped_lock lock(lock_);
    shot_ = shot;
}

void ShotTap::Disarm()
{
    std::scoped_lock lock(lock_);
    shot_ = -1;
}

bool ShotTap::armed() const
{
    std::scoped_lock lock(lock_);
    return shot_ >= 0;
}

void ShotTap::Offer(const QImage& picture)
{
    Taken onTaken;
    int shot = -1;
    {
        std::scoped_lock lock(lock_);
        if (shot_ < 0 || !onTaken_)
            return;
        shot = shot_;
        shot_ = -1;
        onTaken = onTaken_;
    }
    // Shared, not copied: the loop composes its next frame into a new image.
    onTaken(shot, picture);
}
