#pragma once

#include <QImage>

#include <functional>
#include <mutex>

// Hands the next composed picture offered to whoever armed it: a burst needs the pictures its
// four photos were taken of, a copy to the clipboard the picture a photo would save. Armed on the
// interface thread, served on the frame loop's presenter thread.
class ShotTap {
public:
    // Called on the presenter thread; it must not wait for the interface thread.
    using Taken = std::function<void(int shot, const QImage& picture)>;

    void SetTaken(Taken onTaken);
    // The next photo's picture goes out as `shot`; an earlier arming not yet served is replaced.
    void Arm(int shot);
    void Disarm();
    bool armed() const;
    // Presenter thread, after a photo of picture was queued.
    void Offer(const QImage& picture);

private:
    mutable std::mutex lock_;
    Taken onTaken_;
    int shot_ = -1; // -1: not armed
};
