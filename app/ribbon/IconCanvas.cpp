#include "app/ribbon/IconCanvas.h"

#include <QPen>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {
constexpr double kGrid = 32.0;
} // namespace

IconCanvas::IconCanvas(int pixels)
    : pixels_(pixels), image_(pixels, pixels, QImage::Format_ARGB32_Premultiplied)
{
    image_.fill(Qt::transparent);
    painter_.begin(&image_);
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.scale(pixels / kGrid, pixels / kGrid);
}

double IconCanvas::outline() const
{
    // About 1.75 px at 32, never under 1.1 px, so 16-pixel outlines stay solid; thinner on the
    // grid above 48 px, where the same share of the width would look heavy.
    const double large = pixels_ > 48 ? std::sqrt(48.0 / pixels_) : 1.0;
    return std::max(1.75 * large, 1.1 * kGrid / pixels_);
}

double IconCanvas::thin() const { return std::max(1.1, 0.9 * kGrid / pixels_); }

void IconCanvas::fill(const QPainterPath& path, const QColor& colour) { fill(path, colour, outline()); }

void IconCanvas::fill(const QPainterPath& path, const QColor& colour, double outlineWidth)
{
    painter_.fillPath(path, colour);
    painter_.strokePath(path, QPen(IconInk::outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void IconCanvas::flat(const QPainterPath& path, const QColor& colour) { painter_.fillPath(path, colour); }

void IconCanvas::stroke(const QPainterPath& path, const QColor& colour, double width)
{
    painter_.strokePath(path, QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void IconCanvas::line(QPointF from, QPointF to, const QColor& colour, double width)
{
    QPainterPath path(from);
    path.lineTo(to);
    stroke(path, colour, width);
}

void IconCanvas::strokeOutlined(const QPainterPath& path, const QColor& colour, double width)
{
    stroke(path, IconInk::outline, width + 2 * outline() * 0.7);
    stroke(path, colour, width);
}

QImage IconCanvas::take()
{
    painter_.end();
    return std::move(image_);
}

QPainterPath Rect(const QRectF& rect)
{
    QPainterPath path;
    path.addRect(rect);
    return path;
}

QPainterPath RoundRect(const QRectF& rect, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

QPainterPath Circle(QPointF centre, double radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

QPainterPath Polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF& p : points) {
        if (first)
            path.moveTo(p);
        else
            path.lineTo(p);
        first = false;
    }
    path.closeSubpath();
    return path;
}

QPainterPath Gear(QPointF centre, double radius, int teeth)
{
    const double inner = radius * 0.72;
    // Each tooth: rise, top, fall, valley.
    QPainterPath path = RadialPath(centre, teeth * 4, 0.0,
        [&](int i) { return (i % 4 == 1 || i % 4 == 2) ? radius : inner; });
    path.addEllipse(centre, radius * 0.3, radius * 0.3);
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

QPainterPath Digit(int digit, const QRectF& box)
{
    // Hand-drawn strokes on a unit box, like the letters of the shipped art: no font needed.
    QPainterPath path;
    auto at = [&box](double x, double y) { return QPointF(box.left() + x * box.width(), box.top() + y * box.height()); };
    auto rect = [&box](double x, double y, double w, double h) {
        return QRectF(box.left() + x * box.width(), box.top() + y * box.height(), w * box.width(), h * box.height());
    };
    auto arc = [&path](const QRectF& r, double start, double sweep, bool move) {
        if (move)
            path.arcMoveTo(r, start);
        path.arcTo(r, start, sweep);
    };
    switch (std::clamp(digit, 0, 9)) {
    case 0:
        path.addEllipse(rect(0, 0, 1, 1));
        break;
    case 1:
        path.moveTo(at(0.15, 0.25));
        path.lineTo(at(0.6, 0));
        path.lineTo(at(0.6, 1));
        break;
    case 2:
        arc(rect(0.02, 0, 0.96, 0.56), 160, -205, true);
        path.lineTo(at(0, 1));
        path.lineTo(at(1, 1));
        break;
    case 3:
        arc(rect(0.06, 0, 0.86, 0.5), 155, -245, true);
        arc(rect(0, 0.5, 1, 0.5), 90, -245, false);
        break;
    case 4:
        path.moveTo(at(0.72, 1));
        path.lineTo(at(0.72, 0));
        path.lineTo(at(0, 0.68));
        path.lineTo(at(1, 0.68));
        break;
    case 5:
        path.moveTo(at(0.92, 0));
        path.lineTo(at(0.14, 0));
        path.lineTo(at(0.08, 0.46));
        arc(rect(0, 0.36, 1, 0.64), 140, -265, false);
        break;
    case 6:
        path.moveTo(at(0.85, 0.04));
        path.quadTo(at(0.02, 0.1), at(0.02, 0.68));
        path.addEllipse(rect(0.02, 0.38, 0.96, 0.62));
        break;
    case 7:
        path.moveTo(at(0, 0));
        path.lineTo(at(1, 0));
        path.lineTo(at(0.35, 1));
        break;
    case 8:
        path.addEllipse(rect(0.08, 0, 0.84, 0.46));
        path.addEllipse(rect(0, 0.46, 1, 0.54));
        break;
    case 9:
        path.addEllipse(rect(0.02, 0, 0.96, 0.62));
        path.moveTo(at(0.98, 0.32));
        path.quadTo(at(0.98, 0.9), at(0.15, 0.96));
        break;
    }
    return path;
}
