#include "pipeline/faces/FaceForEffects.h"

bool FunEffectFollowsFace(FunEffect effect)
{
    return effect == kFunBigHead || effect == kFunThinFace;
}

std::optional<FunFace> FaceForFunEffect(const std::vector<TrackedFace>& pictureFaces)
{
    const TrackedFace* largest = nullptr;
    for (const TrackedFace& face : pictureFaces) {
        if (face.box.width <= 0 || face.box.height <= 0)
            continue;
        if (largest == nullptr || face.box.area() > largest->box.area())
            largest = &face;
    }
    if (largest == nullptr)
        return std::nullopt;
    const cv::Rect2d& box = largest->box;
    return FunFace(cv::Point2f(float(box.x + box.width / 2), float(box.y + box.height / 2)), float(box.width));
}
