#pragma once

#include <QRectF>

class QPainter;

// A small "GIF" label in the lower left corner of a thumbnail's area, so that an animated GIF
// among the photos tells itself apart from a photo as a video does by its film badge.
void DrawGifBadge(QPainter& painter, const QRectF& thumbnail);
