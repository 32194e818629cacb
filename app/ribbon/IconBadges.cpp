#include "app/ribbon/IconBadges.h"

#include <QPen>

#include <cmath>
#include <numbers>

namespace IconArt {

using namespace IconInk;

namespace {

constexpr double kPi = std::numbers::pi;

struct BadgeSpot {
    QPointF centre;
    double radius;
};

// Larger on small icons, where a 7-unit disc would be a few pixels.
BadgeSpot Spot(const IconCanvas& c) { return c.small() ? BadgeSpot{{23.5, 23.5}, 8.3} : BadgeSpot{{24.5, 24.5}, 7.2}; }

BadgeSpot Disc(IconCanvas& c, const QColor& fill)
{
    const BadgeSpot s = Spot(c);
    c.fill(Circle(s.centre, s.radius), fill);
    return s;
}

void EyeShape(IconCanvas& c, QPointF centre, double halfWidth, bool crossed)
{
    const double h = halfWidth * 0.62;
    QPainterPath eye(centre + QPointF(-halfWidth, 0));
    eye.quadTo(centre + QPointF(0, -h * 1.5), centre + QPointF(halfWidth, 0));
    eye.quadTo(centre + QPointF(0, h * 1.5), centre + QPointF(-halfWidth, 0));
    eye.closeSubpath();
    c.flat(eye, white);
    c.flat(Circle(centre, halfWidth * 0.42), outline);
    if (crossed)
        c.line(centre + QPointF(-halfWidth * 0.9, halfWidth * 0.75), centre + QPointF(halfWidth * 0.9, -halfWidth * 0.75),
               red, GlyphWidth(c) * 0.9);
}

// An open white circle around the badge's centre, from `start` degrees turning `sweep` degrees.
void WhiteArc(IconCanvas& c, const BadgeSpot& s, double r, double start, double sweep, double width)
{
    QPainterPath arc;
    const QRectF box(s.centre.x() - r, s.centre.y() - r, 2 * r, 2 * r);
    arc.arcMoveTo(box, start);
    arc.arcTo(box, start, sweep);
    c.stroke(arc, white, width);
}

void ClockFace(IconCanvas& c, QPointF centre, double r, bool hands)
{
    c.fill(Circle(centre + QPointF(0, -r * 1.05), r * 0.28), gold);
    c.fill(Circle(centre, r), white);
    if (hands) {
        const double w = c.small() ? 2.2 : 1.6;
        c.line(centre, centre + QPointF(0, -r * 0.62), outline, w);
        c.line(centre, centre + QPointF(r * 0.5, 0), outline, w);
    }
}

} // namespace

double GlyphWidth(const IconCanvas& c) { return c.small() ? 2.6 : 2.0; }

void PlayBadge(IconCanvas& c)
{
    const BadgeSpot s = Disc(c, green);
    const double r = s.radius * 0.5;
    c.flat(Polygon({s.centre + QPointF(-r * 0.7, -r), s.centre + QPointF(r * 1.1, 0), s.centre + QPointF(-r * 0.7, r)}),
           white);
}

void CrossBadge(IconCanvas& c)
{
    const BadgeSpot s = Disc(c, red);
    const double r = s.radius * 0.42;
    c.line(s.centre + QPointF(-r, -r), s.centre + QPointF(r, r), white, GlyphWidth(c));
    c.line(s.centre + QPointF(-r, r), s.centre + QPointF(r, -r), white, GlyphWidth(c));
}

// A curved arrow turning back: "return to the original".
void UndoBadge(IconCanvas& c)
{
    const BadgeSpot s = Disc(c, blue);
    const double r = s.radius * 0.45;
    WhiteArc(c, s, r, 150, -250, GlyphWidth(c));
    const QPointF tip = s.centre + QPointF(-r * std::cos(kPi / 6), -r * std::sin(kPi / 6));
    const double h = r * 0.8;
    c.flat(Polygon({tip + QPointF(-h * 0.9, -h * 0.2), tip + QPointF(h * 0.5, -h * 0.9), tip + QPointF(h * 0.35, h * 0.55)}),
           white);
}

void PowerBadge(IconCanvas& c)
{
    const BadgeSpot s = Disc(c, green);
    const double r = s.radius * 0.48;
    WhiteArc(c, s, r, 60, -300, GlyphWidth(c) * 0.85);
    c.line(s.centre + QPointF(0, -r * 1.25), s.centre + QPointF(0, -r * 0.1), white, GlyphWidth(c) * 0.85);
}

void InfoBadge(IconCanvas& c)
{
    const BadgeSpot s = Disc(c, blue);
    const double r = s.radius;
    c.flat(Circle(s.centre + QPointF(0, -r * 0.45), r * (c.small() ? 0.2 : 0.17)), white);
    c.line(s.centre + QPointF(0, -r * 0.05), s.centre + QPointF(0, r * 0.5), white, GlyphWidth(c));
}

// Two arrows in opposite directions: switch between two kinds.
void SwitchBadge(IconCanvas& c)
{
    const BadgeSpot s = Disc(c, orange);
    const double r = s.radius * 0.55, w = GlyphWidth(c) * 0.8;
    const QPointF up = s.centre + QPointF(0, -r * 0.45), down = s.centre + QPointF(0, r * 0.45);
    c.line(up + QPointF(-r, 0), up + QPointF(r, 0), white, w);
    c.line(up + QPointF(r, 0), up + QPointF(r * 0.45, -r * 0.5), white, w);
    c.line(down + QPointF(r, 0), down + QPointF(-r, 0), white, w);
    c.line(down + QPointF(-r, 0), down + QPointF(-r * 0.45, r * 0.5), white, w);
}

// An arrow leaving up and to the right: "open".
void OpenBadge(IconCanvas& c)
{
    const BadgeSpot s = Disc(c, green);
    const double r = s.radius * 0.45;
    const QPointF from = s.centre + QPointF(-r, r), to = s.centre + QPointF(r, -r);
    c.line(from, to, white, GlyphWidth(c));
    c.line(to, to + QPointF(-r * 1.1, 0), white, GlyphWidth(c));
    c.line(to, to + QPointF(0, r * 1.1), white, GlyphWidth(c));
}

void EyeBadge(IconCanvas& c, bool crossed)
{
    const BadgeSpot s = Disc(c, blue);
    EyeShape(c, s.centre, s.radius * 0.7, crossed);
}

void GearBadge(IconCanvas& c)
{
    const BadgeSpot s = Spot(c);
    c.fill(Gear(s.centre, s.radius, 8), grey);
}

// A transparent image: a checkerboard tile.
void CheckerBadge(IconCanvas& c)
{
    const BadgeSpot s = Spot(c);
    const double r = s.radius * 0.92;
    const QRectF box(s.centre.x() - r, s.centre.y() - r, 2 * r, 2 * r);
    const QPainterPath tile = RoundRect(box, 1.5);
    c.flat(tile, white);
    c.painter().save();
    c.painter().setClipPath(tile);
    const double cell = box.width() / (c.small() ? 2 : 3);
    for (int y = 0; y * cell < box.height(); ++y)
        for (int x = 0; x * cell < box.width(); ++x)
            if ((x + y) % 2 == 0)
                c.painter().fillRect(QRectF(box.left() + x * cell, box.top() + y * cell, cell, cell), grey);
    c.painter().restore();
    c.fill(tile, Qt::transparent);
}

void RecordBadge(IconCanvas& c)
{
    const BadgeSpot s = Disc(c, white);
    c.flat(Circle(s.centre, s.radius * 0.55), red);
}

void ClockBadge(IconCanvas& c)
{
    const BadgeSpot s = Spot(c);
    ClockFace(c, s.centre + QPointF(0, 1), s.radius * 0.85, true);
}

void PointerShape(IconCanvas& c, QPointF tip, double size)
{
    const double k = size / 12.0;
    auto at = [&](double x, double y) { return tip + QPointF(x * k, y * k); };
    c.fill(Polygon({at(0, 0), at(0, 11), at(2.8, 8.4), at(4.8, 12.4), at(6.6, 11.5), at(4.7, 7.7), at(8.3, 7.6)}), white,
           c.outline() * 0.9);
}

void LinkBadge(IconCanvas& c)
{
    const BadgeSpot s = Disc(c, white);
    const double r = s.radius;
    QPainter& p = c.painter();
    p.save();
    p.translate(s.centre);
    p.rotate(-45);
    const double w = c.small() ? 2.0 : 1.7;
    c.stroke(RoundRect(QRectF(-r * 0.75, -r * 0.28, r * 0.85, r * 0.56), r * 0.28), blue, w);
    c.stroke(RoundRect(QRectF(-r * 0.1, -r * 0.28, r * 0.85, r * 0.56), r * 0.28), blue, w);
    p.restore();
}

} // namespace IconArt
