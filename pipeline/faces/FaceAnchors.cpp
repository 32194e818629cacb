#include "pipeline/faces/FaceAnchors.h"

#include <algorithm>
#include <limits>

namespace {

cv::Point2d CentreOf(const cv::Rect2d& r)
{
    return { r.x + r.width / 2, r.y + r.height / 2 };
}

// A returning face counts as the lost one when they share at least this part of the smaller box.
constexpr double kReturnOverlap = 0.3;

// A detected face box runs from the brows to the chin; hats and crowns are let go above it, on
// the hair, so the head around the box counts as the face too.
cv::Rect2d HeadAround(const cv::Rect2d& face)
{
    return { face.x - 0.15 * face.width, face.y - 0.6 * face.height, 1.3 * face.width, 1.6 * face.height };
}

bool OverlapsLastPlace(const cv::Rect2d& face, const cv::Rect2d& last)
{
    const double smaller = std::min(face.area(), last.area());
    return smaller > 0 && (face & last).area() >= kReturnOverlap * smaller;
}

} // namespace

bool FaceAnchors::Drop(std::uint64_t sticker, const cv::Rect2d& rect, const std::vector<TrackedFace>& faces)
{
    const cv::Point2d centre = CentreOf(rect);
    const TrackedFace* chosen = nullptr;
    double best = std::numeric_limits<double>::max();
    for (const TrackedFace& face : faces) {
        if (face.box.width <= 0 || face.box.height <= 0 || !HeadAround(face.box).contains(centre))
            continue;
        const double distance = cv::norm(CentreOf(face.box) - centre);
        if (distance < best) {
            best = distance;
            chosen = &face;
        }
    }
    if (chosen == nullptr || rect.width <= 0 || rect.height <= 0) {
        anchors_.erase(sticker);
        return false;
    }
    const cv::Rect2d& box = chosen->box;
    const cv::Point2d offset = centre - CentreOf(box);
    anchors_[sticker] = { chosen->id, box, { offset.x / box.width, offset.y / box.height },
        { rect.width / box.width, rect.height / box.height } };
    return true;
}

FaceAnchors::Placement FaceAnchors::PlaceOn(std::uint64_t sticker, const Anchor& anchor, const cv::Rect2d& face)
{
    const cv::Point2d centre = CentreOf(face) + cv::Point2d(anchor.offset.x * face.width, anchor.offset.y * face.height);
    const cv::Size2d size(anchor.size.width * face.width, anchor.size.height * face.height);
    const cv::Rect2d exact(centre.x - size.width / 2, centre.y - size.height / 2, size.width, size.height);
    return { sticker, WholePixels(exact), exact };
}

cv::Rect FaceAnchors::WholePixels(const cv::Rect2d& r)
{
    const cv::Point2d centre = CentreOf(r);
    const int width = std::max(1, cvRound(r.width));
    const int height = std::max(1, cvRound(r.height));
    return { cvRound(centre.x - width / 2.0), cvRound(centre.y - height / 2.0), width, height };
}

std::vector<FaceAnchors::Placement> FaceAnchors::Follow(const std::vector<TrackedFace>& faces)
{
    std::vector<Placement> placements;
    for (auto& [sticker, anchor] : anchors_) {
        const TrackedFace* face = nullptr;
        for (const TrackedFace& f : faces) {
            if (f.id == anchor.face) {
                face = &f;
                break;
            }
        }
        if (face == nullptr) {
            for (const TrackedFace& f : faces) {
                if (OverlapsLastPlace(f.box, anchor.lastFaceBox)) {
                    face = &f;
                    break;
                }
            }
        }
        if (face == nullptr || face->box.width <= 0 || face->box.height <= 0)
            continue;
        anchor.face = face->id;
        anchor.lastFaceBox = face->box;
        placements.push_back(PlaceOn(sticker, anchor, face->box));
    }
    return placements;
}
