#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>

// The house colours of the shipped art (the welcome camera, the logo, the sample decorations),
// so the buttons look like the pictures they control.
namespace IconInk {
inline const QColor outline{0x3B, 0x2F, 0x4A};
inline const QColor coral{0xF7, 0x87, 0x6F};
inline const QColor coralLight{0xFA, 0xA5, 0x8F};
inline const QColor coralDark{0xE8, 0x72, 0x5C};
inline const QColor gold{0xFF, 0xD4, 0x4D};
inline const QColor goldLight{0xFF, 0xF1, 0xA8};
inline const QColor pink{0xFF, 0x8F, 0xAB};
inline const QColor red{0xF2, 0x4B, 0x5E};
inline const QColor white{0xFF, 0xFF, 0xFF};
inline const QColor sky{0xCD, 0xEB, 0xFA};
inline const QColor skyMid{0x9E, 0xD8, 0xF0};
inline const QColor blue{0x45, 0xA8, 0xF0};
inline const QColor green{0x5C, 0xC8, 0x6A};
inline const QColor violet{0xA4, 0x6B, 0xF0};
inline const QColor orange{0xFF, 0xA9, 0x3D};
inline const QColor ring{0xDC, 0xDF, 0xEA};
inline const QColor grey{0xB9, 0xBD, 0xCD};
inline const QColor glass{0x24, 0x32, 0x58};
inline const QColor night{0x2A, 0x2F, 0x5A};
} // namespace IconInk

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
QPainterPath Star(QPointF centre, double outer, double inner, int points, double rotationDegrees);
QPainterPath Sparkle(QPointF centre, double radius);
QPainterPath Heart(QPointF centre, double width);
// A gear of the given outer radius with a hole.
QPainterPath Gear(QPointF centre, double radius, int teeth);
// A digit 0–9 as a path to stroke, filling the box.
QPainterPath Digit(int digit, const QRectF& box);
