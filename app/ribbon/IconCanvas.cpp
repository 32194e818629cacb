#include "app/ribbon/IconCanvas.h"

#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace {
constexpr double kGrid = 32.0;
double Radians(double degrees) { return degrees * std::numbers::pi / 180.0; }
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

QPainterPath Star(QPointF centre, double outer, double inner, int points, double rotationDegrees)
{
    QPainterPath path;
    for (int i = 0; i < 2 * points; ++i) {
        const double r = (i % 2 == 0) ? outer : inner;
        const double a = Radians(rotationDegrees - 90.0 + i * 180.0 / points);
        const QPointF p = centre + QPointF(r * std::cos(a), r * std::sin(a));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

QPainterPath Sparkle(QPointF centre, double radius)
{
    const double k = 0.16 * radius;
    QPainterPath path(centre + QPointF(0, -radius));
    path.quadTo(centre + QPointF(k, -k), centre + QPointF(radius, 0));
    path.quadTo(centre + QPointF(k, k), centre + QPointF(0, radius));
    path.quadTo(centre + QPointF(-k, k), centre + QPointF(-radius, 0));
    path.quadTo(centre + QPointF(-k, -k), centre + QPointF(0, -radius));
    path.closeSubpath();
    return path;
}

QPainterPath Heart(QPointF centre, double width)
{
    const double s = width / 2.0;
    auto at = [&](double x, double y) { return centre + QPointF(x * s, y * s); };
    QPainterPath path(at(0, 0.9));
    path.cubicTo(at(-0.5, 0.5), at(-1.0, 0.15), at(-1.0, -0.3));
    path.cubicTo(at(-1.0, -0.75), at(-0.4, -1.0), at(0, -0.55));
    path.cubicTo(at(0.4, -1.0), at(1.0, -0.75), at(1.0, -0.3));
    path.cubicTo(at(1.0, 0.15), at(0.5, 0.5), at(0, 0.9));
    path.closeSubpath();
    return path;
}

QPainterPath Gear(QPointF centre, double radius, int teeth)
{
    QPainterPath path;
    const double inner = radius * 0.72;
    const int steps = teeth * 4;
    for (int i = 0; i < steps; ++i) {
        // Each tooth: rise, top, fall, valley.
        const double r = (i % 4 == 1 || i % 4 == 2) ? radius : inner;
        const double a = Radians(i * 360.0 / steps);
        const QPointF p = centre + QPointF(r * std::cos(a), r * std::sin(a));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    path.addEllipse(centre, radius * 0.3, radius * 0.3);
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

QPainterPath Digit(int digit, const QRectF& box)
{
    // Segments a (top), b (top right), c (bottom right), d (bottom), e (bottom left),
    // f (top left), g (middle), one bit each from a.
    static constexpr std::array<unsigned, 10> kSegments{0x3F, 0x06, 0x5B, 0x4F, 0x66,
                                                        0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    const double l = box.left(), r = box.right(), t = box.top(), b = box.bottom();
    const double m = (t + b) / 2;
    const std::array<std::array<QPointF, 2>, 7> ends{{
        {QPointF(l, t), QPointF(r, t)},
        {QPointF(r, t), QPointF(r, m)},
        {QPointF(r, m), QPointF(r, b)},
        {QPointF(l, b), QPointF(r, b)},
        {QPointF(l, m), QPointF(l, b)},
        {QPointF(l, t), QPointF(l, m)},
        {QPointF(l, m), QPointF(r, m)},
    }};
    QPainterPath path;
    const unsigned bits = kSegments[static_cast<std::size_t>(std::clamp(digit, 0, 9))];
    for (std::size_t s = 0; s < ends.size(); ++s) {
        if (bits & (1u << s)) {
            path.moveTo(ends[s][0]);
            path.lineTo(ends[s][1]);
        }
    }
    return path;
}
