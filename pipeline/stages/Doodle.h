#pragma once

#include <opencv2/core.hpp>

#include <cstdint>
#include <mutex>

// The colour that marks unpainted canvas pixels (blue, green, red).
inline const cv::Vec3b kDoodleKey(47, 107, 85);

// Free functions on a canvas, for callers that keep their own.

// A fresh canvas of the given size, every pixel the key colour.
void ClearDoodle(cv::Mat& canvas, cv::Size size, const cv::Vec3b& key = kDoodleKey);

// Copies every canvas pixel that differs from the key onto the frame, where the frame has that
// pixel. Pixels equal to the key in all three bytes leave the frame untouched.
void OverlayDoodle(cv::Mat& frame, const cv::Mat& canvas, const cv::Vec3b& key = kDoodleKey);

// The doodle layer shared by the interface thread (strokes, clearing) and the worker (overlay).
// All members lock one mutex, held only for the drawing or copying itself. The mask of painted
// pixels is kept while the canvas is unchanged.
class DoodleLayer {
public:
    explicit DoodleLayer(const cv::Vec3b& key = kDoodleKey) : key_(key) {}

    // A fresh, empty canvas of the picture's size; ends a stroke in progress.
    void Clear(cv::Size pictureSize);

    // Strokes, in picture pixels. A press alone draws nothing: a line needs a move.
    void BeginStroke(cv::Point p);
    void ExtendStroke(cv::Point p, const cv::Scalar& colour, int penWidth);
    void EndStroke();
    bool StrokeInProgress() const;

    // Worker: lays the painted pixels over the frame.
    void Overlay(cv::Mat& frame);

    // A copy of the canvas (tests, the dump tool).
    cv::Mat Canvas() const;
    const cv::Vec3b& Key() const { return key_; }

private:
    mutable std::mutex mutex_;
    cv::Vec3b key_;
    cv::Mat canvas_;
    cv::Mat mask_;
    std::uint64_t version_ = 0;
    std::uint64_t maskVersion_ = ~std::uint64_t { 0 };
    // Where strokes have painted (with room for the pen's width); empty while nothing is. Only
    // this part of the picture needs the overlay.
    cv::Rect painted_;
    cv::Point last_ { -1, -1 };
    bool penDown_ = false;
};
