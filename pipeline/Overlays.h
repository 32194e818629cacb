#pragma once

#include <QImage>

#include <opencv2/core.hpp>

class AddOnCollection;
class FrameOverlay;

// What is laid over the picture; a null member is not drawn (hidden or not set).
struct OverlayLayers {
    const QImage* logo = nullptr;           // at the bottom-right corner, natural size
    FrameOverlay* frame = nullptr;          // stretched over the whole picture
    const AddOnCollection* addOns = nullptr; // animated ones, then still ones, at their places
};

// Composes the decorations onto the picture at its own resolution, each layer over the earlier
// ones, with the images' transparency: logo, big frame, add-ons.
void DrawOverlays(QImage& picture, const OverlayLayers& layers);

// Fills picture (Format_ARGB32_Premultiplied, opaque) from a BGR frame, converting straight into
// the image's buffer; the image is reallocated only when the size changes.
void FillPictureFromFrame(const cv::Mat& bgrFrame, QImage& picture);
