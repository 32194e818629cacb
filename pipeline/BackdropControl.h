#pragma once

#include "pipeline/BackdropPlayer.h"
#include "pipeline/stages/ProcessFrame.h"

#include <QString>
#include <opencv2/core.hpp>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>

// The backdrop between the interface thread, which chooses the picture, starts and ends the
// learning of the room and asks for a colour under a click, and the worker, which runs the stage.
class BackdropControl {
public:
    // --- interface thread ---
    // The backdrop picture; null shows the room where nothing else is chosen.
    void SetPlayer(std::shared_ptr<BackdropPlayer> player, const QString& path);
    QString playerPath() const;
    bool hasPlayer() const;
    // While set, the worker learns every frame as the empty room (afresh from the first).
    void SetLearning(bool learning)
    {
        if (learning && !learning_)
            learntFrames_ = 0;
        learning_ = learning;
    }
    bool learning() const { return learning_; }
    // Frames learnt since learning last began.
    int learntFrames() const { return learntFrames_; }
    bool roomReady() const { return roomReady_; }
    // Asks the source to clear the picture for the learning (a drawn scene's person walks out).
    void AskToLeaveThePicture() { leaveAsked_ = true; }
    bool TakeLeaveRequest() { return leaveAsked_.exchange(false); }
    // The colour of the picture at this point (as shown) is taken for the cloth at the next frame.
    void PickColourAt(cv::Point point);
    // Once, after the room was seen to change: it should be learnt again.
    bool TakeSceneChanged() { return sceneChanged_.exchange(false); }
    // The colour taken for a pick since the last look (the worker, which puts it to use).
    std::optional<cv::Scalar> TakePicked();
    // The colour of the last pick put to use, once, for the interface to tell the user.
    std::optional<cv::Scalar> TakePickToTell();

    // --- worker ---
    // The stage's part of this frame (size: the work frame's; seconds: its time).
    BackdropWork Prepare(const BackdropSettings& settings, cv::Size size, double seconds);
    // After the frame's stages ran.
    void Finish(const BackdropWork& work);

private:
    mutable std::mutex mutex_;
    std::shared_ptr<BackdropPlayer> player_;
    QString playerPath_;
    std::optional<cv::Point> pickAt_;
    std::optional<cv::Scalar> picked_;
    std::optional<cv::Scalar> toTell_;

    std::atomic<bool> learning_ { false };
    std::atomic<int> learntFrames_ { 0 };
    std::atomic<bool> roomReady_ { false };
    std::atomic<bool> sceneChanged_ { false };
    std::atomic<bool> leaveAsked_ { false };

    BackdropState state_; // worker only
};
