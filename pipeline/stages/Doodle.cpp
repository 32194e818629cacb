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
    // A new buffer, so that a copy handed out before keeps its pixels.
    canvas_ = cv::Mat();
    ClearDoodle(canvas_, pictureSize, key_);
    painted_ = cv::Rect();
    ++version_;
    last_ = { -1, -1 };
    penDown_ = false;
}

void DoodleLayer::BeginStroke(cv::Point p)
{
    std::scoped_lock lock(mutex_);
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
        const int width = std::max(penWidth, 1);
        cv::line(canvas_, last_, p, colour, width, cv::LINE_8, 0);
        // A thick line reaches no further than its width past its ends, caps and sides included.
        const int reach = width + 2;
        const cv::Point low(std::min(last_.x, p.x) - reach, std::min(last_.y, p.y) - reach);
        const cv::Point high(std::max(last_.x, p.x) + reach + 1, std::max(last_.y, p.y) + reach + 1);
        const cv::Rect segment = cv::Rect(low, high) & cv::Rect(0, 0, canvas_.cols, canvas_.rows);
        painted_ = painted_.empty() ? segment : (painted_ | segment);
        ++version_;
    }
    last_ = p;
}

void DoodleLayer::EndStroke()
{
    std::scoped_lock lock(mutex_);
    last_ = { -1, -1 };
    penDown_ = false;
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
