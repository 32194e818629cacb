#pragma once

#include <opencv2/core.hpp>

#include <optional>

// The picture position of a client point: ⌊scale · x + 0.5⌋ per axis, the product in float.
cv::Point ClientToPicture(cv::Point client, float scaleX, float scaleY);

// Whether a press at this client point may start a region selection: inside
// (0, 0, displayWidth, displayHeight), right and bottom excluded.
bool SelectionMayStartAt(cv::Point client, cv::Size display);

// A confirmed selection in the two coordinate systems the frame loop needs.
struct PictureRegion {
    cv::Rect zoomRect;   // camera pixels of the frame before flipping: where the zoom cuts
    cv::Rect effectRect; // pixels of the processed, flipped picture the user sees
};

// Turns a rubber-band drag between two client points (either order) into the two rectangles.
// The selection is clipped to the picture; one that is empty after clipping gives no region.
// zoomRect is effectRect mapped back through flipMode, so the zoom magnifies what was dragged.
std::optional<PictureRegion> RegionFromSelection(cv::Point pressClient, cv::Point releaseClient,
    float scaleX, float scaleY, cv::Size picture, int flipMode);

// Where a rectangle of the flipped picture lies in the frame before flipping.
cv::Rect UnflipRect(const cv::Rect& pictureRect, cv::Size picture, int flipMode);
