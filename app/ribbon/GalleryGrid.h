#pragma once

#include <QListWidget>
#include <QSize>
#include <QStyleOptionViewItem>

class QPainter;

// What the ribbon's picture galleries (pens, backdrops, fun effects) share: a still grid of equal
// cells that never scrolls sideways, sized to whole cells, with the same cell frames.

void SetUpGalleryGrid(QListWidget& list, QSize picture, QSize cell);

// Room for columns × rows cells inside the list's frame (the list wraps a cell that would reach
// the viewport's last pixel column: one to spare).
QSize GalleryGridSize(const QListWidget& list, int columns, int rows, QSize cell);

// A cell's frame: the chosen one on a light wash inside a frame in the look's accent colour, the
// one under the pointer inside a thin frame.
void PaintGalleryCellFrame(QPainter& painter, const QStyleOptionViewItem& option);
