#pragma once

#include "pipeline/faces/FaceTracks.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <unordered_map>
#include <vector>

// Which stickers (add-ons, named by their serial) are attached to which face, and where each
// attached sticker belongs on its face. A sticker let go with its centre on a head is attached
// with its place and size relative to the face box; from then on its rectangle is worked out from
// the face's box, so it moves and scales with the face. While its face is not among the tracked
// faces it is not moved; a face with the same identity, or one over the place where its face was
// last seen, takes it along again. Pure logic; not thread-safe.
class FaceAnchors {
public:
    struct Placement {
        std::uint64_t sticker = 0;
        cv::Rect rect;    // in whole pixels
        cv::Rect2d exact; // before rounding, for a caller that scales it on
    };

    // A sticker let go at rect (placed from the strip or at the end of a drag): attached to the
    // face whose head holds its centre (the box widened a little and raised over the hair, so a
    // hat counts; the nearest face centre when several do), otherwise detached. Returns whether
    // it is attached.
    bool Drop(std::uint64_t sticker, const cv::Rect2d& rect, const std::vector<TrackedFace>& faces);
    void Detach(std::uint64_t sticker) { anchors_.erase(sticker); }
    void Clear() { anchors_.clear(); }
    bool attached(std::uint64_t sticker) const { return anchors_.count(sticker) != 0; }
    bool empty() const { return anchors_.empty(); }

    // Where every attached sticker whose face is present goes; the others are not listed and stay
    // where they are.
    std::vector<Placement> Follow(const std::vector<TrackedFace>& faces);

    // A rectangle in whole pixels about the same centre: at least one pixel each way.
    static cv::Rect WholePixels(const cv::Rect2d& rect);

private:
    struct Anchor {
        int face = 0;
        cv::Rect2d lastFaceBox;
        // Centre offset from the face centre and size, in face widths and heights.
        cv::Point2d offset;
        cv::Size2d size;
    };
    static Placement PlaceOn(std::uint64_t sticker, const Anchor& anchor, const cv::Rect2d& face);

    std::unordered_map<std::uint64_t, Anchor> anchors_;
};
