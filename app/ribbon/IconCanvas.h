#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

#include "ui/ArtShapes.h"

// The house colours of the shipped art, so the buttons look like the pictures they control.
namespace IconInk = HouseInk;

// One icon being painted at one pixel size. Shapes are placed on a 32 × 32 grid whatever the
// size; pen widths are chosen per size, so that a 16-pixel icon keeps lines of a whole pixel
// instead of shrinking a 32-pixel drawing into grey smears.
class IconCanvas {
public:
    explicit IconCanvas(int pixels);
    IconCanvas(const IconCanvas&) = delete;
    IconCanvas& operator=(const IconCanvas&) = delete;

    QPainter& painter() { return painter_; }
    int pixels() const { return pixels_; }
    // Small icons leave out fine detail (highlights, studs, hatching).
    bool small() const { return pixels_ < 24; }
    // Width of an outline and of a fine line, in grid units.
    double outline() const;
    double thin() const;

    // Fills the path and draws the outline over it.
    void fill(const QPainterPath& path, const QColor& colour);
    void fill(const QPainterPath& path, const QColor& colour, double outlineWidth);
    // Fills without an outline.
    void flat(const QPainterPath& path, const QColor& colour);
    // Round-capped strokes.
    void stroke(const QPainterPath& path, const QColor& colour, double width);
    void line(QPointF from, QPointF to, const QColor& colour, double width);
    // Outline-coloured stroke under a narrower coloured one: a line that reads on any background.
    void strokeOutlined(const QPainterPath& path, const QColor& colour, double width);

    // Ends painting and hands the image over; the canvas must not be used afterwards.
    QImage take();

private:
    int pixels_;
    QImage image_;
    QPainter painter_;
};

// Path helpers on the 32-unit grid.
QPainterPath Rect(const QRectF& rect);
QPainterPath RoundRect(const QRectF& rect, double radius);
QPainterPath Circle(QPointF centre, double radius);
QPainterPath Polygon(std::initializer_list<QPointF> points);
// A gear of the given outer radius with a hole.
QPainterPath Gear(QPointF centre, double radius, int teeth);
// A digit 0–9 as a path to stroke, filling the box.
QPainterPath Digit(int digit, const QRectF& box);
