#pragma once

#include <opencv2/core.hpp>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// The optical-flow play: dots found as corners or clicked in, tracked from frame to frame.
//
// The interface thread only posts requests (detect, click, night, colour, reset); they sit in a
// small inbox under a mutex. The worker runs TrackFlow, which takes the inbox once at its start
// and settles it at its end, and owns the images and point arrays alone.
class FlowState {
public:
    static constexpr int kMostPoints = 500;
    static constexpr int kWindow = 10;
    static constexpr float kRemoveDistance = 5.0f;

    FlowState() = default;
    // Waits for a corner detection still running.
    ~FlowState();
    FlowState(const FlowState&) = delete;
    FlowState& operator=(const FlowState&) = delete;

    // --- interface thread ---
    // Detect dots afresh on the next run (the auto command).
    void RequestDetection();
    // A click in picture pixels: removes the first dot within 5 pixels, else adds one. Ignored
    // until the stage has run once. A newer click replaces one not yet taken in.
    void RequestPoint(cv::Point picturePoint);
    void SetNight(bool on);
    bool Night() const;
    void SetColour(const cv::Scalar& bgr);
    cv::Scalar Colour() const;
    // Leaving the play: no detection pending, night off, no click pending, no dots.
    void Reset();

    // Readable from any thread.
    int PointCount() const { return pointCount_.load(); }
    bool PointPending() const;

    // --- worker thread (and tests) ---
    const std::vector<cv::Point2f>& Points() const { return points_; }

    // Off (the default): corners are found within the frame that asks for them. On: on a thread
    // of their own, from that frame's grey picture, while the frames go on without dots; the
    // first frame that finds the corners ready tracks them from the detection frame on, so when
    // they are ready by the next frame (as a frame period usually allows) every frame comes out
    // as it would have with detection in the frame. Set by the frame loop.
    void SetBackgroundDetection(bool on) { background_ = on; }
    bool DetectionRunning() const;
    // Waits until a detection started in the background is ready (tests).
    void WaitForDetection() const;

private:
    friend void TrackFlow(cv::Mat& frame, FlowState& state);

    struct Inbox {
        bool needDetection = false;
        bool night = false;
        bool clearPoints = false;
        bool hasRun = false;
        std::optional<cv::Point> pending;
        std::uint64_t pendingSerial = 0;
        cv::Scalar colour { 0, 255, 0, 0 };
    };

    mutable std::mutex mutex_;
    Inbox inbox_;
    std::atomic<int> pointCount_ { 0 };

    cv::Mat grey_;
    cv::Mat previousGrey_;
    std::vector<cv::Mat> pyramid_;
    std::vector<cv::Mat> previousPyramid_;
    std::vector<cv::Point2f> points_;
    std::vector<cv::Point2f> previousPoints_;
    std::vector<uchar> status_;

    // Corner detection on its own thread: its result, the pyramid of the frame it looks at, and
    // the threads of detections that were overtaken by a newer one (joined at destruction).
    struct Detection {
        mutable std::mutex mutex;
        mutable std::condition_variable done;
        bool ready = false;
        std::vector<cv::Point2f> points;
    };
    std::atomic<bool> background_ { false };
    std::shared_ptr<Detection> detection_;
    std::vector<cv::Mat> detectionPyramid_;
    std::thread detector_;
    std::vector<std::thread> overtaken_;
};

// Runs one frame of the play on a BGR frame: grey copy, night blackout, detection or tracking,
// dots drawn (radius 3, filled), the click taken in.
void TrackFlow(cv::Mat& frame, FlowState& state);

// Whether a click removes the dot: squared distance at most 25.
bool ClickRemovesDot(const cv::Point2f& dot, cv::Point click);

// The compaction step after tracking: walks the dots in order; the first dot within 5 pixels of
// *click is dropped and *click cleared; dots whose status is 0 are dropped; the others are kept
// and drawn on frame (when frame is not empty) in colour.
void CompactFlowPoints(std::vector<cv::Point2f>& points, const std::vector<uchar>& status,
    std::optional<cv::Point>& click, cv::Mat& frame, const cv::Scalar& colour);
