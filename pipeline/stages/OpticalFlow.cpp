#include "pipeline/stages/OpticalFlow.h"

#include "pipeline/stages/BackgroundThread.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/video/tracking.hpp>

#include <algorithm>
#include <utility>

namespace {

const cv::TermCriteria kStop(cv::TermCriteria::COUNT | cv::TermCriteria::EPS, 20, 0.03);
constexpr int kPyramidLevels = 3;

void Refine(const cv::Mat& grey, std::vector<cv::Point2f>& points)
{
    if (!points.empty())
        cv::cornerSubPix(grey, points, cv::Size(FlowState::kWindow, FlowState::kWindow), cv::Size(-1, -1), kStop);
}

// The automatic start: strong corners, at least 10 pixels apart, refined to sub-pixel places.
std::vector<cv::Point2f> DetectCorners(const cv::Mat& grey)
{
    std::vector<cv::Point2f> points;
    cv::goodFeaturesToTrack(grey, points, FlowState::kMostPoints, 0.01, 10, cv::noArray(), 3, false, 0.04);
    Refine(grey, points);
    return points;
}

} // namespace

FlowState::~FlowState()
{
    if (detector_.joinable())
        detector_.join();
    for (std::thread& t : overtaken_)
        t.join();
}

bool FlowState::DetectionRunning() const
{
    if (!detection_)
        return false;
    std::scoped_lock lock(detection_->mutex);
    return !detection_->ready;
}

void FlowState::WaitForDetection() const
{
    if (!detection_)
        return;
    std::unique_lock lock(detection_->mutex);
    detection_->done.wait(lock, [this] { return detection_->ready; });
}

void FlowState::RequestDetection()
{
    std::scoped_lock lock(mutex_);
    inbox_.needDetection = true;
}

void FlowState::RequestPoint(cv::Point picturePoint)
{
    std::scoped_lock lock(mutex_);
    if (!inbox_.hasRun)
        return;
    inbox_.pending = picturePoint;
    ++inbox_.pendingSerial;
}

void FlowState::SetNight(bool on)
{
    std::scoped_lock lock(mutex_);
    inbox_.night = on;
}

bool FlowState::Night() const
{
    std::scoped_lock lock(mutex_);
    return inbox_.night;
}

void FlowState::SetColour(const cv::Scalar& bgr)
{
    std::scoped_lock lock(mutex_);
    inbox_.colour = bgr;
}

cv::Scalar FlowState::Colour() const
{
    std::scoped_lock lock(mutex_);
    return inbox_.colour;
}

void FlowState::Reset()
{
    std::scoped_lock lock(mutex_);
    inbox_.needDetection = false;
    inbox_.night = false;
    inbox_.pending.reset();
    ++inbox_.pendingSerial;
    inbox_.clearPoints = true;
    pointCount_ = 0;
}

bool FlowState::PointPending() const
{
    std::scoped_lock lock(mutex_);
    return inbox_.pending.has_value();
}

bool ClickRemovesDot(const cv::Point2f& dot, cv::Point click)
{
    const float dx = static_cast<float>(click.x) - dot.x;
    const float dy = static_cast<float>(click.y) - dot.y;
    return dx * dx + dy * dy <= FlowState::kRemoveDistance * FlowState::kRemoveDistance;
}

void CompactFlowPoints(std::vector<cv::Point2f>& points, const std::vector<uchar>& status,
    std::optional<cv::Point>& click, cv::Mat& frame, const cv::Scalar& colour)
{
    std::size_t kept = 0;
    for (std::size_t i = 0; i < points.size(); ++i) {
        if (click && ClickRemovesDot(points[i], *click)) {
            click.reset();
            continue;
        }
        if (i >= status.size() || status[i] == 0)
            continue;
        points[kept++] = points[i];
        if (!frame.empty())
            cv::circle(frame, cv::Point(cvRound(points[i].x), cvRound(points[i].y)), 3, colour, cv::FILLED, cv::LINE_8);
    }
    points.resize(kept);
}

void TrackFlow(cv::Mat& frame, FlowState& state)
{
    CV_Assert(frame.type() == CV_8UC3);
    if (frame.empty())
        return;

    // Take the requests of the interface thread once for this frame.
    FlowState::Inbox requests;
    {
        std::scoped_lock lock(state.mutex_);
        requests = state.inbox_;
        state.inbox_.needDetection = false;
        state.inbox_.clearPoints = false;
        state.inbox_.hasRun = true;
    }
    if (requests.clearPoints) {
        state.points_.clear();
        state.detection_.reset(); // leaving the play drops a detection still running
        state.detectionPyramid_.clear();
    }
    // A new picture size makes the old grey picture and dots meaningless.
    if (!state.previousGrey_.empty() && state.previousGrey_.size() != frame.size()) {
        state.points_.clear();
        state.previousPyramid_.clear();
        state.detection_.reset();
        state.detectionPyramid_.clear();
    }
    std::optional<cv::Point> click = requests.pending;

    cv::cvtColor(frame, state.grey_, cv::COLOR_BGR2GRAY);
    if (requests.night)
        frame.setTo(cv::Scalar::all(0));

    const cv::Size window(FlowState::kWindow, FlowState::kWindow);
    // The current pyramid is built once and serves as the previous one on the next frame.
    cv::buildOpticalFlowPyramid(state.grey_, state.pyramid_, window, kPyramidLevels, true, cv::BORDER_REFLECT_101,
        cv::BORDER_CONSTANT, false);

    // Corners found in the background for an earlier frame: tracked from that frame's pyramid.
    if (!requests.needDetection && state.detection_ && !state.DetectionRunning()) {
        state.points_ = std::move(state.detection_->points);
        state.detection_.reset();
        if (!state.detectionPyramid_.empty())
            std::swap(state.previousPyramid_, state.detectionPyramid_);
        state.detectionPyramid_.clear();
    }

    if (requests.needDetection && state.background_) {
        // The grey picture is copied: its buffer takes a later frame while the detection runs.
        if (state.detector_.joinable())
            state.overtaken_.push_back(std::move(state.detector_));
        auto detection = std::make_shared<FlowState::Detection>();
        state.detection_ = detection;
        state.detector_ = std::thread([detection, grey = state.grey_.clone()] {
            YieldCoresToThePicture();
            std::vector<cv::Point2f> points = DetectCorners(grey);
            std::scoped_lock lock(detection->mutex);
            detection->points = std::move(points);
            detection->ready = true;
            detection->done.notify_all();
        });
        state.points_.clear();
        click.reset(); // as in the frame: a click waiting now is dropped, no dots on this frame
    } else if (requests.needDetection) {
        state.points_ = DetectCorners(state.grey_);
        click.reset(); // a click waiting now is dropped; no dots are drawn on this frame
    } else if (state.detection_) {
        // Still detecting: no dots yet, and a click waits for them.
        click.reset();
        requests.pending.reset();
    } else if (!state.points_.empty() && !state.previousPyramid_.empty()) {
        std::vector<cv::Point2f> tracked;
        cv::calcOpticalFlowPyrLK(state.previousPyramid_, state.pyramid_, state.points_, tracked, state.status_,
            cv::noArray(), window, kPyramidLevels, kStop);
        state.points_ = std::move(tracked);
        CompactFlowPoints(state.points_, state.status_, click, frame, requests.colour);
    }

    if (click && static_cast<int>(state.points_.size()) < FlowState::kMostPoints) {
        const cv::Point p(std::clamp(click->x, 0, frame.cols - 1), std::clamp(click->y, 0, frame.rows - 1));
        std::vector<cv::Point2f> added { cv::Point2f(static_cast<float>(p.x), static_cast<float>(p.y)) };
        Refine(state.grey_, added);
        state.points_.push_back(added.front());
        click.reset(); // drawn from the next frame on
    }

    // The pyramid of the frame a background detection looks at is kept until the corners come.
    if (requests.needDetection && state.background_) {
        state.detectionPyramid_ = std::move(state.pyramid_);
        state.pyramid_.clear();
    }
    std::swap(state.grey_, state.previousGrey_);
    std::swap(state.pyramid_, state.previousPyramid_);
    state.pointCount_ = static_cast<int>(state.points_.size());

    // The click taken in (or dropped) is cleared, unless a newer one arrived meanwhile.
    if (requests.pending && !click) {
        std::scoped_lock lock(state.mutex_);
        if (state.inbox_.pendingSerial == requests.pendingSerial)
            state.inbox_.pending.reset();
    }
}
