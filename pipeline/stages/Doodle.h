#pragma once

#include <opencv2/core.hpp>

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

// The colour that marks unpainted canvas pixels (blue, green, red).
inline const cv::Vec3b kDoodleKey(47, 107, 85);

// Free functions on a canvas, for callers that keep their own.

// A fresh canvas of the given size, every pixel the key colour.
void ClearDoodle(cv::Mat& canvas, cv::Size size, const cv::Vec3b& key = kDoodleKey);

// Copies every canvas pixel that differs from the key onto the frame, where the frame has that
// pixel. Pixels equal to the key in all three bytes leave the frame untouched.
void OverlayDoodle(cv::Mat& frame, const cv::Mat& canvas, const cv::Vec3b& key = kDoodleKey);

// The doodle layer shared by the interface thread (strokes, clearing, undo) and the worker
// (overlay). All members lock one mutex, held only for the drawing or copying itself. The mask of
// painted pixels is kept while the canvas is unchanged.
//
// Undo: every stroke that painted, and every wipe of a painted canvas, can be taken back, the
// newest first. A level keeps only the pixels its stroke or wipe changed (the part of the canvas
// it touched, as it was before), so a short stroke costs little; at most kUndoLevels levels and
// kUndoBytes bytes are kept, the oldest going first. Twenty strokes reach back over the last few
// moments of a drawing, which is what a slip of the mouse needs; the byte bound keeps a run of
// strokes across a large picture (six megabytes each at 1920 × 1080) from taking the memory.
class DoodleLayer {
public:
    static constexpr std::size_t kUndoLevels = 20;
    static constexpr std::size_t kUndoBytes = std::size_t { 64 } << 20;

    explicit DoodleLayer(const cv::Vec3b& key = kDoodleKey) : key_(key) {}

    // A fresh, empty canvas of the picture's size with nothing to undo (a new camera start);
    // ends a stroke in progress.
    void Clear(cv::Size pictureSize);
    // Empties the canvas as one step that Undo takes back (the user's "clear"); a canvas of
    // another size than the picture is made anew, as Clear does.
    void Wipe(cv::Size pictureSize);
    // Takes back the newest stroke or wipe; a stroke in progress ends first and is the one
    // taken back. False when there is nothing to take back.
    bool Undo();
    bool CanUndo() const;
    std::size_t undoLevels() const;

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
    // The canvas inside `area` as it was before a stroke or wipe, and what was painted then.
    struct UndoLevel {
        cv::Rect area;
        cv::Mat before;
        cv::Rect paintedBefore;
    };
    void ResetLocked(cv::Size pictureSize);
    void FinishStrokeLocked();
    // No stroke goes on: moves draw nothing until the next press.
    void LiftPenLocked();
    void PushLocked(UndoLevel level);

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
    // The stroke in progress: the canvas before its first painted segment, and where it painted.
    cv::Mat strokeBefore_;
    cv::Rect strokePaintedBefore_;
    cv::Rect strokeArea_;
    std::deque<UndoLevel> undo_; // oldest first
    std::size_t undoBytes_ = 0;
};
