#include "pipeline/faces/FaceView.h"

#include "pipeline/stages/Flip.h"

#include <algorithm>

namespace {

cv::Rect2d Between(double x0, double y0, double x1, double y1)
{
    return { std::min(x0, x1), std::min(y0, y1), std::abs(x1 - x0), std::abs(y1 - y0) };
}

} // namespace

FaceView::FaceView(cv::Size camera, cv::Size picture, const std::optional<cv::Rect>& zoom, int flipMode)
{
    cv::Rect cut(0, 0, camera.width, camera.height);
    if (zoom && !(*zoom & cut).empty())
        cut &= *zoom;
    if (cut.empty() || picture.empty())
        return;
    scaleX_ = static_cast<double>(picture.width) / cut.width;
    scaleY_ = static_cast<double>(picture.height) / cut.height;
    offsetX_ = -cut.x * scaleX_;
    offsetY_ = -cut.y * scaleY_;
    const bool mirrored = flipMode == kFlipMirror || flipMode == kFlipMirrorUpsideDown;
    const bool upsideDown = flipMode == kFlipMirrorUpsideDown || flipMode == kFlipUpsideDown;
    if (mirrored) {
        scaleX_ = -scaleX_;
        offsetX_ = picture.width - offsetX_;
    }
    if (upsideDown) {
        scaleY_ = -scaleY_;
        offsetY_ = picture.height - offsetY_;
    }
}

cv::Rect2d FaceView::ToPicture(const cv::Rect2d& box) const
{
    return Between(scaleX_ * box.x + offsetX_, scaleY_ * box.y + offsetY_, scaleX_ * (box.x + box.width) + offsetX_,
        scaleY_ * (box.y + box.height) + offsetY_);
}

cv::Rect2d FaceView::ToCamera(const cv::Rect2d& box) const
{
    return Between((box.x - offsetX_) / scaleX_, (box.y - offsetY_) / scaleY_,
        (box.x + box.width - offsetX_) / scaleX_, (box.y + box.height - offsetY_) / scaleY_);
}

std::vector<TrackedFace> FaceView::ToPicture(std::vector<TrackedFace> faces) const
{
    for (TrackedFace& face : faces)
        face.box = ToPicture(face.box);
    return faces;
}
