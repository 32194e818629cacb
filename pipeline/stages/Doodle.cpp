#include "pipeline/stages/Doodle.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>

namespace {

// 255 where the canvas differs from the key.
void PaintedMask(const cv::Mat& canvas, const cv::Vec3b& key, cv::Mat& mask)
{
    cv::inRange(canvas, cv::Scalar(key[0], key[1], key[2]), cv::Scalar(key[0], key[1], key[2]), mask);
    cv::bitwise_not(mask, mask);
}

cv::Rect Overlap(const cv::Mat& frame, const cv::Mat& canvas)
{
    return cv::Rect(0, 0, canvas.cols, canvas.rows) & cv::Rect(0, 0, frame.cols, frame.rows);
}

} // namespace

void ClearDoodle(cv::Mat& canvas, cv::Size size, const cv::Vec3b& key)
{
    canvas.create(size, CV_8UC3);
    canvas.setTo(cv::Scalar(key[0], key[1], key[2]));
}

void OverlayDoodle(cv::Mat& frame, const cv::Mat& canvas, const cv::Vec3b& key)
{
    CV_Assert(canvas.empty() || canvas.type() == CV_8UC3);
    CV_Assert(frame.empty() || frame.type() == CV_8UC3);
    const cv::Rect area = Overlap(frame, canvas);
    if (area.empty())
        return;
    cv::Mat mask;
    PaintedMask(canvas(area), key, mask);
    cv::Mat target = frame(area);
    canvas(area).copyTo(target, mask);
}

void DoodleLayer::Clear(cv::Size pictureSize)
{
    std::scoped_lock lock(mutex_);
    ResetLocked(pictureSize);
}

void DoodleLayer::ResetLocked(cv::Size pictureSize)
{
    // A new buffer, so that a copy handed out before keeps its pixels.
    canvas_ = cv::Mat();
    ClearDoodle(canvas_, pictureSize, key_);
    painted_ = cv::Rect();
    ++version_;
    LiftPenLocked();
    strokeBefore_ = cv::Mat();
    strokeArea_ = cv::Rect();
    undo_.clear();
    undoBytes_ = 0;
}

void DoodleLayer::Wipe(cv::Size pictureSize)
{
    std::scoped_lock lock(mutex_);
    FinishStrokeLocked();
    if (canvas_.size() != pictureSize) {
        ResetLocked(pictureSize); // what was kept no longer fits the picture
        return;
    }
    // Outside what strokes painted the canvas is the key already: that part alone is kept.
    if (!painted_.empty())
        PushLocked({ painted_, canvas_(painted_).clone(), painted_ });
    canvas_ = cv::Mat();
    ClearDoodle(canvas_, pictureSize, key_);
    painted_ = cv::Rect();
    ++version_;
    LiftPenLocked();
}

void DoodleLayer::LiftPenLocked()
{
    last_ = { -1, -1 };
    penDown_ = false;
}

bool DoodleLayer::Undo()
{
    std::scoped_lock lock(mutex_);
    FinishStrokeLocked();
    // Moves after the undo, with the button still held, draw nothing until the next press.
    LiftPenLocked();
    if (undo_.empty())
        return false;
    UndoLevel level = std::move(undo_.back());
    undo_.pop_back();
    undoBytes_ -= level.before.total() * level.before.elemSize();
    if ((level.area & cv::Rect(0, 0, canvas_.cols, canvas_.rows)) != level.area)
        return false; // never the case: a canvas of another size starts without levels
    level.before.copyTo(canvas_(level.area));
    painted_ = level.paintedBefore;
    ++version_;
    return true;
}

bool DoodleLayer::CanUndo() const
{
    std::scoped_lock lock(mutex_);
    return !undo_.empty() || !strokeArea_.empty();
}

std::size_t DoodleLayer::undoLevels() const
{
    std::scoped_lock lock(mutex_);
    return undo_.size() + (strokeArea_.empty() ? 0 : 1);
}

void DoodleLayer::FinishStrokeLocked()
{
    if (!strokeBefore_.empty() && !strokeArea_.empty())
        PushLocked({ strokeArea_, strokeBefore_(strokeArea_).clone(), strokePaintedBefore_ });
    strokeBefore_ = cv::Mat();
    strokeArea_ = cv::Rect();
}

void DoodleLayer::PushLocked(UndoLevel level)
{
    undoBytes_ += level.before.total() * level.before.elemSize();
    undo_.push_back(std::move(level));
    // The newest level stays whatever its size.
    while (undo_.size() > 1 && (undo_.size() > kUndoLevels || undoBytes_ > kUndoBytes)) {
        undoBytes_ -= undo_.front().before.total() * undo_.front().before.elemSize();
        undo_.pop_front();
    }
}

void DoodleLayer::BeginStroke(cv::Point p)
{
    std::scoped_lock lock(mutex_);
    FinishStrokeLocked(); // a stroke whose release never came is a step of its own
    last_ = p;
    penDown_ = true;
}

void DoodleLayer::ExtendStroke(cv::Point p, const cv::Scalar& colour, int penWidth)
{
    std::scoped_lock lock(mutex_);
    if (!penDown_)
        return;
    if (last_.x < 0)
        last_ = p;
    if (!canvas_.empty()) {
        // The canvas as the stroke found it, for its undo; kept whole until the stroke ends,
        // when only the part it touched is kept.
        if (strokeBefore_.empty()) {
            strokeBefore_ = canvas_.clone();
            strokePaintedBefore_ = painted_;
        }
        const int width = std::max(penWidth, 1);
        cv::line(canvas_, last_, p, colour, width, cv::LINE_8, 0);
        // A thick line reaches no further than its width past its ends, caps and sides included.
        const int reach = width + 2;
        const cv::Point low(std::min(last_.x, p.x) - reach, std::min(last_.y, p.y) - reach);
        const cv::Point high(std::max(last_.x, p.x) + reach + 1, std::max(last_.y, p.y) + reach + 1);
        const cv::Rect segment = cv::Rect(low, high) & cv::Rect(0, 0, canvas_.cols, canvas_.rows);
        painted_ = painted_.empty() ? segment : (painted_ | segment);
        strokeArea_ = strokeArea_.empty() ? segment : (strokeArea_ | segment);
        ++version_;
    }
    last_ = p;
}

void DoodleLayer::EndStroke()
{
    std::scoped_lock lock(mutex_);
    FinishStrokeLocked();
    LiftPenLocked();
}

bool DoodleLayer::StrokeInProgress() const
{
    std::scoped_lock lock(mutex_);
    return penDown_;
}

void DoodleLayer::Overlay(cv::Mat& frame)
{
    std::scoped_lock lock(mutex_);
    // A canvas nobody has painted on yet needs no work at all.
    if (painted_.empty() || frame.empty())
        return;
    CV_Assert(frame.type() == CV_8UC3);
    if (maskVersion_ != version_) {
        PaintedMask(canvas_, key_, mask_);
        maskVersion_ = version_;
    }
    const cv::Rect area = Overlap(frame, canvas_) & painted_;
    if (area.empty())
        return;
    cv::Mat target = frame(area);
    canvas_(area).copyTo(target, mask_(area));
}

cv::Mat DoodleLayer::Canvas() const
{
    std::scoped_lock lock(mutex_);
    return canvas_.clone();
}
