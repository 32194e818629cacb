#pragma once

#include "pipeline/faces/FaceTracks.h"

#include <opencv2/core.hpp>

#include <optional>
#include <vector>

// Where a box of the camera frame (upright, as the camera delivers it) lies in the picture shown:
// the frame, or the zoom region cut from it, stretched to the picture's size and then flipped as
// the picture is. Faces are found on the camera frame, so a flip never turns a face on its head
// for the detector; their boxes reach the picture through this. Boxes map edge to edge (a box
// over the whole cut covers the whole picture). The default view is the identity.
class FaceView {
public:
    FaceView() = default;
    // camera: the frame's size; zoom: the region the picture magnifies (clipped to the frame; none,
    // or one outside it, shows the whole frame); flipMode as the flip stage takes it.
    FaceView(cv::Size camera, cv::Size picture, const std::optional<cv::Rect>& zoom, int flipMode);

    cv::Rect2d ToPicture(const cv::Rect2d& cameraBox) const;
    cv::Rect2d ToCamera(const cv::Rect2d& pictureBox) const;
    std::vector<TrackedFace> ToPicture(std::vector<TrackedFace> cameraFaces) const;

    bool operator==(const FaceView& other) const = default;

private:
    // picture = scale · camera + offset, per axis; a negative scale flips that axis.
    double scaleX_ = 1;
    double offsetX_ = 0;
    double scaleY_ = 1;
    double offsetY_ = 0;
};
