#pragma once

#include <QImage>

#include <cstdint>
#include <vector>

class AddOnCollection;
class FrameOverlay;

// What is laid over the picture; a null member is not drawn (hidden or not set).
struct OverlayLayers {
    const QImage* logo = nullptr;           // at the bottom-right corner, natural size
    FrameOverlay* frame = nullptr;          // stretched over the whole picture
    const AddOnCollection* addOns = nullptr; // animated ones, then still ones, at their places
    std::vector<std::uint64_t> addOnsLeftOut;  // serials of add-ons the picture already has
};

// Composes the decorations onto the picture at its own resolution, each layer over the earlier
// ones, with the images' transparency: logo, big frame, add-ons.
void DrawOverlays(QImage& picture, const OverlayLayers& layers);
