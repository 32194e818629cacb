#include "app/ribbon/CommandIcons.h"

#include "app/Looks.h"
#include "app/ribbon/IconCanvas.h"

#include <QLinearGradient>
#include <QConicalGradient>
#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <numbers>

// Every picture is drawn on a 32 × 32 grid. Related commands share a motif and its colours
// (a coral camera for taking pictures, a sky-blue picture for display sizes and effects, a gold
// frame for the big frame, a pink heart for add-ons, a folder for the folders), and a round badge
// in the lower right corner says what the command does to it.

namespace {

using namespace IconInk;

constexpr double kPi = std::numbers::pi;

// ---------------------------------------------------------------- badges

struct BadgeSpot {
    QPointF centre;
    double radius;
};

// Larger on small icons, where a 7-unit disc would be a few pixels.
BadgeSpot Spot(const IconCanvas& c) { return c.small() ? BadgeSpot{{23.5, 23.5}, 8.3} : BadgeSpot{{24.5, 24.5}, 7.2}; }

double GlyphWidth(const IconCanvas& c) { return c.small() ? 2.6 : 2.0; }

BadgeSpot Disc(IconCanvas& c, const QColor& fill)
{
    const BadgeSpot s = Spot(c);
    c.fill(Circle(s.centre, s.radius), fill);
    return s;
}

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
    QPainterPath arc;
    const QRectF box(s.centre.x() - r, s.centre.y() - r, 2 * r, 2 * r);
    arc.arcMoveTo(box, 150);
    arc.arcTo(box, 150, -250);
    c.stroke(arc, white, GlyphWidth(c));
    const QPointF tip = s.centre + QPointF(-r * std::cos(kPi / 6), -r * std::sin(kPi / 6));
    const double h = r * 0.8;
    c.flat(Polygon({tip + QPointF(-h * 0.9, -h * 0.2), tip + QPointF(h * 0.5, -h * 0.9), tip + QPointF(h * 0.35, h * 0.55)}),
           white);
}

void PowerBadge(IconCanvas& c)
{
    const BadgeSpot s = Disc(c, green);
    const double r = s.radius * 0.48;
    QPainterPath arc;
    const QRectF box(s.centre.x() - r, s.centre.y() - r, 2 * r, 2 * r);
    arc.arcMoveTo(box, 60);
    arc.arcTo(box, 60, -300);
    c.stroke(arc, white, GlyphWidth(c) * 0.85);
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

void EyeBadge(IconCanvas& c, bool crossed = false)
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

void ClockBadge(IconCanvas& c)
{
    const BadgeSpot s = Spot(c);
    ClockFace(c, s.centre + QPointF(0, 0.6), s.radius * 0.9, true);
}

void PointerShape(IconCanvas& c, QPointF tip, double size)
{
    const double k = size / 12.0;
    auto at = [&](double x, double y) { return tip + QPointF(x * k, y * k); };
    c.fill(Polygon({at(0, 0), at(0, 11), at(2.8, 8.4), at(4.8, 12.4), at(6.6, 11.5), at(4.7, 7.7), at(8.3, 7.6)}), white,
           c.outline() * 0.9);
}

// ---------------------------------------------------------------- shared motifs

// A little landscape: sky, sun and two hills. Effects and sizes are shown on it.
struct SceneColours {
    QColor sky = IconInk::sky;
    QColor sun = IconInk::gold;
    QColor far = QColor(0x9B, 0xDE, 0xA4);
    QColor hill = IconInk::green;
    QColor edge = IconInk::outline;
};

QColor Grey(const QColor& k)
{
    const int g = qGray(k.rgb());
    return QColor(g, g, g);
}

QColor Inverted(const QColor& k) { return QColor(255 - k.red(), 255 - k.green(), 255 - k.blue()); }

SceneColours Mapped(const std::function<QColor(const QColor&)>& f)
{
    const SceneColours n;
    return SceneColours{f(n.sky), f(n.sun), f(n.far), f(n.hill), n.edge};
}

struct ScenePaths {
    QPainterPath frame, sun, far, hill;
};

ScenePaths ScenePathsIn(const QRectF& r)
{
    ScenePaths s;
    s.frame = RoundRect(r, std::min(r.width(), r.height()) * 0.12);
    const double m = std::min(r.width(), r.height());
    s.sun = Circle(QPointF(r.left() + r.width() * 0.7, r.top() + r.height() * 0.32), m * 0.15);
    s.far.moveTo(r.left() - 1, r.bottom());
    s.far.lineTo(r.left() - 1, r.top() + r.height() * 0.62);
    s.far.quadTo(QPointF(r.left() + r.width() * 0.25, r.top() + r.height() * 0.3),
                 QPointF(r.left() + r.width() * 0.55, r.top() + r.height() * 0.7));
    s.far.lineTo(r.left() + r.width() * 0.55, r.bottom() + 1);
    s.far.closeSubpath();
    s.hill.moveTo(r.left() + r.width() * 0.2, r.bottom() + 1);
    s.hill.quadTo(QPointF(r.left() + r.width() * 0.65, r.top() + r.height() * 0.35),
                  QPointF(r.right() + 1, r.top() + r.height() * 0.72));
    s.hill.lineTo(r.right() + 1, r.bottom() + 1);
    s.hill.closeSubpath();
    return s;
}

void Scene(IconCanvas& c, const QRectF& r, const SceneColours& k = {})
{
    const ScenePaths s = ScenePathsIn(r);
    QPainter& p = c.painter();
    c.flat(s.frame, k.sky);
    p.save();
    p.setClipPath(s.frame);
    c.flat(s.sun, k.sun);
    c.flat(s.far, k.far);
    c.flat(s.hill, k.hill);
    p.restore();
    c.fill(s.frame, Qt::transparent);
}

const QRectF kSceneRect(3, 5, 26, 22);

void DashedRect(IconCanvas& c, const QRectF& r, const QColor& colour)
{
    QPen pen(colour, c.thin(), Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setDashPattern({2.0, 1.6});
    c.painter().strokePath(RoundRect(r, 1), pen);
}

void CameraBody(IconCanvas& c, const QRectF& b, const QColor& lensFill = glass)
{
    const double w = b.width(), h = b.height();
    c.fill(RoundRect(QRectF(b.right() - w * 0.32, b.top() - h * 0.2, w * 0.2, h * 0.35), 1.2), gold);
    c.fill(RoundRect(QRectF(b.left() + w * 0.16, b.top() - h * 0.25, w * 0.34, h * 0.45), 1.6), coral);
    const QPainterPath body = RoundRect(b, h * 0.22);
    c.flat(body, coral);
    if (!c.small()) {
        c.painter().save();
        c.painter().setClipPath(body);
        c.painter().fillRect(QRectF(b.left(), b.top(), w, h * 0.22), coralLight);
        c.painter().restore();
    }
    c.fill(body, Qt::transparent);
    if (!c.small())
        c.fill(RoundRect(QRectF(b.left() + w * 0.08, b.top() + h * 0.14, w * 0.16, h * 0.17), 0.8), goldLight,
               c.outline() * 0.7);
    const QPointF lens = b.center() + QPointF(0, h * 0.06);
    const double r = h * 0.38;
    c.fill(Circle(lens, r), ring);
    c.fill(Circle(lens, r * 0.62), lensFill, c.outline() * 0.8);
    if (!c.small())
        c.flat(Circle(lens + QPointF(-r * 0.22, -r * 0.22), r * 0.15), white);
}

void Camera(IconCanvas& c) { CameraBody(c, QRectF(2.5, 10, 27, 18)); }

void GoldFrame(IconCanvas& c, const QRectF& r)
{
    const QPainterPath outer = RoundRect(r, 2.5);
    const double b = std::max(3.5, r.width() * 0.16);
    const QRectF inside = r.adjusted(b, b, -b, -b);
    c.fill(outer, gold);
    if (c.small()) {
        c.fill(RoundRect(inside, 1), sky, c.outline() * 0.8);
    } else {
        Scene(c, inside);
        for (const QPointF& corner : {r.topLeft() + QPointF(b / 2, b / 2), r.topRight() + QPointF(-b / 2, b / 2),
                                      r.bottomLeft() + QPointF(b / 2, -b / 2), r.bottomRight() + QPointF(-b / 2, -b / 2)})
            c.flat(Circle(corner, b * 0.22), orange);
    }
}

void BigFrame(IconCanvas& c) { GoldFrame(c, QRectF(2.5, 3, 24, 24)); }

void Sticker(IconCanvas& c)
{
    c.fill(Heart(QPointF(13, 15), 19), pink);
    if (!c.small())
        c.flat(Circle(QPointF(8.5, 11), 1.6), white);
    c.fill(Star(QPointF(25, 7.5), 5.5, 2.4, 5, 0), gold, c.outline() * 0.85);
}

// A folder with something peeking out of it.
void Folder(IconCanvas& c, const std::function<void()>& content)
{
    QPainterPath back(QPointF(2.5, 27));
    back.lineTo(2.5, 7);
    back.quadTo(2.5, 5.5, 4, 5.5);
    back.lineTo(11, 5.5);
    back.lineTo(13.5, 8.5);
    back.lineTo(27, 8.5);
    back.quadTo(28.5, 8.5, 28.5, 10);
    back.lineTo(28.5, 27);
    back.closeSubpath();
    c.fill(back, orange);
    content();
    c.fill(Polygon({QPointF(2.5, 27), QPointF(4.5, 14), QPointF(30, 14), QPointF(28.5, 27)}), gold);
}

void FolderPhoto(IconCanvas& c)
{
    Folder(c, [&] { Scene(c, QRectF(7, 6.5, 18, 12)); });
}
void FolderFrame(IconCanvas& c)
{
    Folder(c, [&] { GoldFrame(c, QRectF(8, 4, 16, 14)); });
}
void FolderAddOn(IconCanvas& c)
{
    Folder(c, [&] { c.fill(Heart(QPointF(16, 10.5), 13), pink); });
}

void FlowDots(IconCanvas& c, const QColor& dot)
{
    const std::array<QPointF, 3> dots{QPointF(8, 12), QPointF(17, 21), QPointF(24, 9)};
    const std::array<QPointF, 3> from{QPointF(3, 24), QPointF(5, 28), QPointF(13, 26)};
    for (std::size_t i = 0; i < dots.size(); ++i) {
        QPainterPath trail(from[i]);
        trail.quadTo(QPointF(from[i].x() + 6, dots[i].y() + 3), dots[i]);
        QColor faded = dot;
        faded.setAlpha(130);
        c.stroke(trail, faded, c.small() ? 2.2 : 2.0);
    }
    for (const QPointF& d : dots)
        c.fill(Circle(d, c.small() ? 3.6 : 3.2), dot, c.outline() * 0.85);
}

void Squiggle(IconCanvas& c, const QColor& colour, double width)
{
    QPainterPath s(QPointF(4, 24));
    s.cubicTo(QPointF(8, 12), QPointF(13, 12), QPointF(14, 19));
    s.cubicTo(QPointF(15, 26), QPointF(22, 25), QPointF(27, 14));
    c.strokeOutlined(s, colour, width);
}

void Brush(IconCanvas& c, const QColor& tip)
{
    // Handle from the upper right down to a tip at the lower left.
    QPainter& p = c.painter();
    p.save();
    p.translate(21, 11);
    p.rotate(45);
    c.fill(RoundRect(QRectF(-2.2, -13, 4.4, 12), 2), gold);
    c.fill(Rect(QRectF(-2.6, -1.5, 5.2, 4)),
           grey);
    QPainterPath bristles(QPointF(-2.6, 2.5));
    bristles.lineTo(2.6, 2.5);
    bristles.quadTo(2.8, 7, 0, 10);
    bristles.quadTo(-2.8, 7, -2.6, 2.5);
    bristles.closeSubpath();
    c.fill(bristles, tip);
    p.restore();
}

void WindowShape(IconCanvas& c, const QRectF& r)
{
    const QPainterPath win = RoundRect(r, 2);
    c.flat(win, white);
    c.painter().save();
    c.painter().setClipPath(win);
    c.painter().fillRect(QRectF(r.left(), r.top(), r.width(), 5), blue);
    c.painter().restore();
    c.fill(win, Qt::transparent);
}

// Four corner brackets, arrows pointing out or in.
void Corners(IconCanvas& c, bool outward)
{
    const double w = c.small() ? 2.6 : 2.4;
    const QPointF centre(16, 16);
    for (int i = 0; i < 4; ++i) {
        const QPointF dir((i % 2) ? 1 : -1, (i / 2) ? 1 : -1);
        const QPointF corner = centre + dir * 12.5;
        const QPointF inner = centre + dir * 5.5;
        const QPointF head = outward ? corner : inner;
        const QPointF tail = outward ? inner : corner;
        QPainterPath shaft(tail);
        shaft.lineTo(head);
        c.strokeOutlined(shaft, blue, w);
        const QPointF back = (tail - head) / 12.0 * 4.8;
        QPainterPath headPath(head + QPointF(back.x(), 0));
        headPath.lineTo(head);
        headPath.lineTo(head + QPointF(0, back.y()));
        c.strokeOutlined(headPath, blue, w);
    }
}

// The mirror sign of the flips: a filled shape, a dashed axis and its ghost on the other side.
void Flip(IconCanvas& c, double rotation)
{
    QPainter& p = c.painter();
    p.save();
    p.translate(16, 16);
    p.rotate(rotation);
    p.translate(-16, -16);
    c.fill(Polygon({QPointF(13.5, 10.5), QPointF(13.5, 28), QPointF(3, 28)}), coral);
    c.fill(Polygon({QPointF(18.5, 10.5), QPointF(18.5, 28), QPointF(29, 28)}), white);
    QPen axis(blue, c.thin(), Qt::CustomDashLine, Qt::FlatCap);
    axis.setDashPattern({1.6, 1.4});
    p.setPen(axis);
    p.drawLine(QPointF(16, 2), QPointF(16, 30));
    p.setPen(Qt::NoPen);
    QPainterPath arrow(QPointF(7, 4.5));
    arrow.lineTo(25, 4.5);
    c.strokeOutlined(arrow, blue, c.small() ? 2.2 : 1.8);
    for (const double x : {7.0, 25.0}) {
        const double d = x < 16 ? 3.6 : -3.6;
        QPainterPath head(QPointF(x + d, 1.5));
        head.lineTo(x, 4.5);
        head.lineTo(x + d, 7.5);
        c.strokeOutlined(head, blue, c.small() ? 2.2 : 1.8);
    }
    p.restore();
}

void Stopwatch(IconCanvas& c, int digit)
{
    const QPointF centre(16, 18);
    c.fill(RoundRect(QRectF(13, 2, 6, 4), 1), gold);
    c.fill(Circle(centre, 12.5), coral);
    c.fill(Circle(centre, 9.5), white, c.outline() * 0.8);
    if (digit >= 0) {
        c.stroke(Digit(digit, QRectF(12.5, 12, 7, 12)), outline, c.small() ? 3.0 : 2.4);
    } else {
        const double w = c.small() ? 2.4 : 2.0;
        c.line(centre, centre + QPointF(0, -6.5), outline, w);
        c.line(centre, centre + QPointF(5, 2), outline, w);
    }
}

// The lens of the logo: a coral disc with a white P.
void LogoLens(IconCanvas& c, QPointF centre, double r)
{
    c.fill(Circle(centre, r), coral);
    const double h = r * 1.1, x = centre.x() - r * 0.3, top = centre.y() - h / 2;
    QPainterPath letter(QPointF(x, top + h));
    letter.lineTo(x, top);
    letter.lineTo(x + h * 0.28, top);
    letter.arcTo(QRectF(x + h * 0.03, top, h * 0.5, h * 0.52), 90, -180);
    letter.lineTo(x, top + h * 0.52);
    c.stroke(letter, white, std::max(c.small() ? 2.4 : 2.0, r * 0.26));
}

void PhotoStrip(IconCanvas& c)
{
    c.fill(RoundRect(QRectF(9, 1.5, 14, 29), 1.5), coral);
    for (int i = 0; i < 4; ++i) {
        const QRectF cell(11.5, 3.5 + i * 6.75, 9, 5.2);
        if (c.small())
            c.flat(Rect(cell), sky);
        else
            Scene(c, cell);
    }
}

void Face(IconCanvas& c)
{
    const QPointF centre(14, 17);
    c.fill(Circle(centre, 12), gold);
    c.flat(Circle(centre + QPointF(-4.2, -2.5), 1.6), outline);
    c.flat(Circle(centre + QPointF(4.2, -2.5), 1.6), outline);
    QPainterPath smile;
    smile.arcMoveTo(QRectF(centre.x() - 5, centre.y() - 2.5, 10, 8), 200);
    smile.arcTo(QRectF(centre.x() - 5, centre.y() - 2.5, 10, 8), 200, 140);
    c.stroke(smile, outline, c.small() ? 2.0 : 1.6);
    if (!c.small()) {
        c.flat(Circle(centre + QPointF(-6.5, 2.5), 2), pink);
        c.flat(Circle(centre + QPointF(6.5, 2.5), 2), pink);
    }
    // A party hat and a heart sticker, tracking the face.
    c.fill(Polygon({QPointF(17, 6.5), QPointF(27, 1.5), QPointF(25, 11)}), violet, c.outline() * 0.85);
    c.fill(Heart(QPointF(24.5, 23.5), 10), pink);
}

void Book(IconCanvas& c)
{
    c.fill(RoundRect(QRectF(5, 3, 21, 26), 2), violet);
    c.fill(Rect(QRectF(7.5, 25, 18.5, 4)),
           white, c.outline() * 0.8);
    QPainterPath q;
    q.arcMoveTo(QRectF(11.5, 7, 8, 7), 160);
    q.arcTo(QRectF(11.5, 7, 8, 7), 160, -250);
    q.quadTo(QPointF(15.5, 15.5), QPointF(15.5, 18));
    c.stroke(q, white, c.small() ? 2.6 : 2.2);
    c.flat(Circle(QPointF(15.5, 21.8), c.small() ? 1.5 : 1.3), white);
}

void Globe(IconCanvas& c)
{
    const QPointF centre(14, 14);
    const double r = 11.5;
    c.fill(Circle(centre, r), sky);
    QPainterPath meridian;
    meridian.addEllipse(centre, r * 0.45, r);
    c.stroke(meridian, blue, c.thin());
    c.line(centre + QPointF(-r, 0), centre + QPointF(r, 0), blue, c.thin());
    if (!c.small()) {
        c.line(centre + QPointF(-r * 0.85, -r * 0.5), centre + QPointF(r * 0.85, -r * 0.5), blue, c.thin());
        c.line(centre + QPointF(-r * 0.85, r * 0.5), centre + QPointF(r * 0.85, r * 0.5), blue, c.thin());
    }
    c.fill(Circle(centre, r), Qt::transparent);
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

// A swatch of a look: a little window in the look's own colours. The Office looks show their
// round application button, Windows 7 its four-pane flag, so blue and Windows 7 differ in shape too.
void LookSwatch(IconCanvas& c, unsigned look)
{
    const QPalette palette = LookFor(look).palette;
    const QColor window = palette.color(QPalette::Window), accent = palette.color(QPalette::Highlight);
    const QColor text = palette.color(QPalette::WindowText);
    const QRectF r(2.5, 4, 27, 24);
    const QPainterPath win = RoundRect(r, 2.5);
    c.flat(win, window);
    c.painter().save();
    c.painter().setClipPath(win);
    QLinearGradient bar(0, r.top(), 0, r.top() + 10);
    bar.setColorAt(0, palette.color(QPalette::Button));
    bar.setColorAt(1, window.darker(118));
    c.painter().fillRect(QRectF(r.left(), r.top(), r.width(), 10), bar);
    c.painter().restore();
    if (look == ID_VIEW_APPLOOK_WINDOWS_7) {
        for (int i = 0; i < 4; ++i)
            c.flat(Rect(QRectF(5 + (i % 2) * 4, 5.5 + (i / 2) * 4, 3.4, 3.4)), accent);
    } else {
        c.fill(Circle(QPointF(9, 9), 3.8), accent, c.thin());
    }
    c.fill(Rect(QRectF(5.5, 17, 8, 8)), accent, c.thin());
    const double w = c.small() ? 1.8 : 1.2;
    c.line(QPointF(16, 9), QPointF(26, 9), text, w);
    for (int i = 0; i < (c.small() ? 2 : 3); ++i)
        c.line(QPointF(16.5, 18 + i * 3.2), QPointF(26, 18 + i * 3.2), text, w);
    c.fill(win, Qt::transparent);
}

// ---------------------------------------------------------------- effect previews

void EffectScene(IconCanvas& c, CommandId id)
{
    const QRectF r(3, 4, 26, 24);
    switch (id) {
    case ID_BUTTON_BLACKWHITE:
        Scene(c, r, Mapped(Grey));
        return;
    case ID_BUTTON_INVERT:
        Scene(c, r, Mapped(Inverted));
        return;
    case ID_BUTTON_GRAIN: {
        Scene(c, r);
        const ScenePaths s = ScenePathsIn(r);
        c.painter().save();
        c.painter().setClipPath(s.frame);
        // Fixed speckles (a small generator, so every run draws the same).
        std::uint32_t state = 20240611u;
        auto next = [&state] {
            state = state * 1664525u + 1013904223u;
            return (state >> 8) / double(1u << 24);
        };
        const double dot = c.small() ? 2.0 : 1.2;
        for (int i = 0; i < (c.small() ? 16 : 46); ++i) {
            const QPointF at(r.left() + next() * r.width(), r.top() + next() * r.height());
            c.painter().fillRect(QRectF(at, QSizeF(dot, dot)), i % 2 ? QColor(255, 255, 255, 220) : QColor(40, 40, 60, 170));
        }
        c.painter().restore();
        c.fill(s.frame, Qt::transparent);
        return;
    }
    case ID_BUTTON_ERODE: {
        // Dark areas grow into the light ones: blocky dark edges, a shrunken sun.
        const ScenePaths s = ScenePathsIn(r);
        c.flat(s.frame, sky);
        c.painter().save();
        c.painter().setClipPath(s.frame);
        c.flat(Circle(QPointF(r.left() + r.width() * 0.7, r.top() + r.height() * 0.32), 2.2), gold);
        c.flat(s.far, QColor(0x5A, 0x8F, 0x62));
        c.flat(s.hill, QColor(0x2F, 0x6B, 0x3A));
        QPen blocks(QColor(0x24, 0x3A, 0x2A), c.small() ? 3.2 : 2.6, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
        c.painter().strokePath(s.hill, blocks);
        c.painter().strokePath(s.far, blocks);
        c.painter().restore();
        c.fill(s.frame, Qt::transparent);
        return;
    }
    case ID_BUTTON_SKETCH: {
        // Pencil lines on paper.
        const ScenePaths s = ScenePathsIn(r);
        const QColor pencil(0x55, 0x55, 0x60);
        c.flat(s.frame, white);
        c.painter().save();
        c.painter().setClipPath(s.frame);
        c.stroke(s.sun, pencil, c.thin());
        c.stroke(s.far, pencil, c.thin());
        c.stroke(s.hill, pencil, c.thin());
        if (!c.small()) {
            for (int i = 0; i < 5; ++i) {
                const double x = r.left() + r.width() * 0.55 + i * 2.3;
                c.line(QPointF(x, r.bottom()), QPointF(x + 3.5, r.bottom() - 5.5), pencil, 0.8);
            }
        }
        c.painter().restore();
        c.fill(s.frame, Qt::transparent);
        return;
    }
    case ID_BUTTON_SMOOTH_SKETCH: {
        // Bright coloured edges on a dark ground.
        const ScenePaths s = ScenePathsIn(r);
        c.flat(s.frame, night);
        c.painter().save();
        c.painter().setClipPath(s.frame);
        const double w = c.small() ? 1.8 : 1.4;
        c.stroke(s.sun, gold, w);
        c.stroke(s.far, pink, w);
        c.stroke(s.hill, QColor(0x6F, 0xF0, 0xE0), w);
        c.painter().restore();
        c.fill(s.frame, Qt::transparent);
        return;
    }
    default:
        Scene(c, r);
    }
}

// ---------------------------------------------------------------- colour models and sliders

void ChannelDigit(IconCanvas& c, int channel)
{
    const QRectF box = c.small() ? QRectF(20, 16, 9, 13) : QRectF(21, 17, 7, 11.5);
    c.strokeOutlined(Digit(channel, box), blue, c.small() ? 2.6 : 2.2);
}

void Brightness(IconCanvas& c, int channel)
{
    const QPointF sun(12.5, 12.5);
    for (int i = 0; i < 8; ++i) {
        const double a = i * kPi / 4;
        const QPointF d(std::cos(a), std::sin(a));
        c.line(sun + d * 7.5, sun + d * 10.5, orange, c.small() ? 2.4 : 2.0);
    }
    c.fill(Circle(sun, 5.8), gold);
    ChannelDigit(c, channel);
}

void Contrast(IconCanvas& c, int channel)
{
    const QPointF centre(12.5, 12.5);
    const double r = 9.5;
    c.flat(Circle(centre, r), white);
    QPainterPath half;
    half.moveTo(centre + QPointF(0, -r));
    half.arcTo(QRectF(centre.x() - r, centre.y() - r, 2 * r, 2 * r), 90, -180);
    half.closeSubpath();
    c.flat(half, outline);
    c.fill(Circle(centre, r), Qt::transparent);
    ChannelDigit(c, channel);
}

void ChannelBars(IconCanvas& c)
{
    const std::array<QColor, 3> colours{red, green, blue};
    const std::array<double, 3> knobs{10, 19, 14};
    for (int i = 0; i < 3; ++i) {
        const double x = 6 + i * 8;
        c.line(QPointF(x, 4), QPointF(x, 26), colours[i], c.small() ? 2.6 : 2.2);
        c.fill(RoundRect(QRectF(x - 3, knobs[i] - 2, 6, 4), 1), white, c.outline() * 0.85);
    }
}

void Rgb(IconCanvas& c)
{
    QPainter& p = c.painter();
    const double r = 8.2;
    const std::array<std::pair<QPointF, QColor>, 3> circles{
        {{QPointF(16, 10.5), QColor(255, 60, 60)}, {QPointF(10.5, 20), QColor(60, 210, 80)}, {QPointF(21.5, 20), QColor(60, 110, 255)}}};
    p.save();
    p.setCompositionMode(QPainter::CompositionMode_Plus);
    for (const auto& [centre, colour] : circles)
        c.flat(Circle(centre, r), colour);
    p.restore();
    for (const auto& [centre, colour] : circles)
        c.stroke(Circle(centre, r), outline, c.outline() * 0.75);
}

QConicalGradient HueWheel(QPointF centre)
{
    QConicalGradient g(centre, 0);
    for (int i = 0; i <= 6; ++i)
        g.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 230, 255));
    return g;
}

// Hue around a ring (seen as an ellipse), value or lightness along the axis.
void ColourSolid(IconCanvas& c, bool doubleCone)
{
    const double ringY = doubleCone ? 16 : 8.5;
    const QRectF ellipse(3, ringY - 4.5, 26, 9);
    QPainterPath lower(QPointF(3, ringY));
    lower.lineTo(16, 30);
    lower.lineTo(29, ringY);
    lower.closeSubpath();
    QLinearGradient dark(0, ringY, 0, 30);
    dark.setColorAt(0, QColor(0x80, 0x80, 0x88));
    dark.setColorAt(1, QColor(0x10, 0x10, 0x18));
    c.painter().fillPath(lower, dark);
    c.stroke(lower, outline, c.outline());
    if (doubleCone) {
        QPainterPath upper(QPointF(3, ringY));
        upper.lineTo(16, 2);
        upper.lineTo(29, ringY);
        upper.closeSubpath();
        QLinearGradient light(0, 2, 0, ringY);
        light.setColorAt(0, white);
        light.setColorAt(1, QColor(0xC8, 0xC8, 0xD0));
        c.painter().fillPath(upper, light);
        c.stroke(upper, outline, c.outline());
    }
    QPainterPath top;
    top.addEllipse(ellipse);
    c.painter().fillPath(top, HueWheel(ellipse.center()));
    c.stroke(top, outline, c.outline());
}

// Luma as a grey ramp beside the two colour differences.
void YCrCb(IconCanvas& c)
{
    QLinearGradient luma(0, 3, 0, 29);
    luma.setColorAt(0, white);
    luma.setColorAt(1, QColor(0x30, 0x30, 0x38));
    const QPainterPath y = RoundRect(QRectF(3, 3, 11, 26), 1.8);
    c.painter().fillPath(y, luma);
    c.stroke(y, outline, c.outline());
    QLinearGradient cr(0, 3, 0, 15), cb(0, 17, 0, 29);
    cr.setColorAt(0, QColor(0xFF, 0x50, 0x60));
    cr.setColorAt(1, QColor(0x60, 0xD0, 0xA0));
    cb.setColorAt(0, QColor(0x40, 0x80, 0xFF));
    cb.setColorAt(1, QColor(0xF0, 0xE0, 0x60));
    const QPainterPath crBar = RoundRect(QRectF(17, 3, 12, 12), 1.8), cbBar = RoundRect(QRectF(17, 17, 12, 12), 1.8);
    c.painter().fillPath(crBar, cr);
    c.painter().fillPath(cbBar, cb);
    c.stroke(crBar, outline, c.outline());
    c.stroke(cbBar, outline, c.outline());
}

// ---------------------------------------------------------------- colour buttons

void ColourBar(IconCanvas& c, const QColor& colour)
{
    const QRectF bar = c.small() ? QRectF(2, 24.5, 28, 6) : QRectF(2.5, 25.5, 27, 5);
    c.fill(RoundRect(bar, 1), colour);
}

void FlowPalette(IconCanvas& c, const QColor& colour)
{
    QPainterPath board;
    board.addEllipse(QRectF(2.5, 2, 27, 21));
    board.addEllipse(QPointF(20.5, 16), 2.4, 2.4);
    board.setFillRule(Qt::OddEvenFill);
    c.fill(board, goldLight);
    const double r = c.small() ? 3.2 : 2.8;
    c.fill(Circle(QPointF(9, 9.5), r), colour, c.outline() * 0.8);
    c.fill(Circle(QPointF(16.5, 7), r), colour, c.outline() * 0.8);
    c.fill(Circle(QPointF(9.5, 16.5), r), colour, c.outline() * 0.8);
    ColourBar(c, colour);
}

void PaintBucket(IconCanvas& c, const QColor& colour)
{
    QPainter& p = c.painter();
    p.save();
    p.translate(13, 12);
    p.rotate(-30);
    QPainterPath pail(QPointF(-7, -5));
    pail.lineTo(7, -5);
    pail.lineTo(5.5, 8);
    pail.lineTo(-5.5, 8);
    pail.closeSubpath();
    c.fill(pail, ring);
    QPainterPath handle;
    handle.arcMoveTo(QRectF(-7, -11, 14, 12), 180);
    handle.arcTo(QRectF(-7, -11, 14, 12), 180, -180);
    c.stroke(handle, outline, c.thin());
    c.fill([] { QPainterPath e; e.addEllipse(QRectF(-7, -6.6, 14, 3.2)); return e; }(),
           colour, c.outline() * 0.8);
    p.restore();
    // The spill running out of the tipped pail.
    QPainterPath spill(QPointF(19, 7));
    spill.quadTo(QPointF(26, 8), QPointF(26.5, 15));
    spill.quadTo(QPointF(28.5, 19), QPointF(26.5, 21));
    spill.quadTo(QPointF(24.5, 19), QPointF(24.5, 15));
    spill.quadTo(QPointF(23, 11), QPointF(19, 7));
    c.fill(spill, colour, c.outline() * 0.8);
    ColourBar(c, colour);
}

// ---------------------------------------------------------------- the table of pictures

void Neutral(IconCanvas& c)
{
    c.fill(RoundRect(QRectF(5, 5, 22, 22), 4), ring);
    c.fill(Circle(QPointF(16, 16), 4), grey, c.outline() * 0.8);
}

void Draw(IconCanvas& c, CommandId id)
{
    switch (id) {
    // Camera and picture.
    case ID_BUTTON_CAM_MANGER:
        Camera(c);
        PowerBadge(c);
        return;
    case ID_BUTTON_IMAGE_SIZE:
        c.fill(RoundRect(QRectF(2.5, 3, 27, 25), 2), white);
        c.fill(RoundRect(QRectF(2.5, 10, 19, 18), 2), skyMid, c.outline() * 0.8);
        Scene(c, QRectF(2.5, 17, 11, 11));
        return;
    case ID_BUTTON_SIZE1:
        Scene(c, kSceneRect);
        return;
    case ID_BUTTON_SIZE2:
        DashedRect(c, kSceneRect, blue);
        Scene(c, QRectF(kSceneRect.topLeft(), kSceneRect.size() * 0.75));
        return;
    case ID_BUTTON_SIZE3:
        DashedRect(c, kSceneRect, blue);
        Scene(c, QRectF(kSceneRect.topLeft(), kSceneRect.size() * 0.5));
        return;
    case ID_BUTTON_SIZE_FIT: {
        c.fill(RoundRect(QRectF(2, 3, 28, 26), 2), white);
        Scene(c, QRectF(8.5, 9.5, 15, 13));
        const double w = c.small() ? 2.2 : 1.8;
        for (const double s : {-1.0, 1.0}) {
            const QPointF tip(16 + s * 12.5, 16), from(16 + s * 9.5, 16);
            c.line(from, tip, blue, w);
            c.line(tip, tip + QPointF(-s * 2.5, -2.5), blue, w);
            c.line(tip, tip + QPointF(-s * 2.5, 2.5), blue, w);
        }
        return;
    }
    case ID_BUTTON_LOOGO: {
        const QPainterPath pill = RoundRect(QRectF(1.5, 8, 29, 16), 8);
        c.fill(pill, white);
        LogoLens(c, QPointF(9.5, 16), 6.2);
        const double w = c.small() ? 2.2 : 1.6;
        c.line(QPointF(18.5, 13), QPointF(26, 13), outline, w);
        c.line(QPointF(18.5, 19), QPointF(24, 19), outline, w);
        return;
    }
    case ID_VIEW_FULL_SCREEN:
        Scene(c, QRectF(9, 10, 14, 12));
        Corners(c, true);
        return;
    case ID_ESCAPE: {
        // The escape sign: an open circle with an arrow leaving to the upper left.
        QPainterPath arc;
        arc.arcMoveTo(QRectF(5, 5, 23, 23), 120);
        arc.arcTo(QRectF(5, 5, 23, 23), 120, 300);
        c.strokeOutlined(arc, blue, c.small() ? 2.6 : 2.4);
        QPainterPath arrow(QPointF(17, 17));
        arrow.lineTo(4.5, 4.5);
        c.strokeOutlined(arrow, blue, c.small() ? 2.6 : 2.4);
        QPainterPath head(QPointF(4.5, 12));
        head.lineTo(4.5, 4.5);
        head.lineTo(12, 4.5);
        c.strokeOutlined(head, blue, c.small() ? 2.6 : 2.4);
        return;
    }

    // Photos and recording.
    case ID_BUTTON_PHOTO_CLICK:
        Camera(c);
        PointerShape(c, QPointF(19, 15.5), c.small() ? 15.5 : 13.5);
        return;
    case ID_BUTTON_PHOTO_DELAY:
        Camera(c);
        ClockBadge(c);
        return;
    case ID_BUTTON_TIME_SET:
        Stopwatch(c, -1);
        GearBadge(c);
        return;
    case ID_PHOTO_NOW:
        CameraBody(c, QRectF(5.5, 12, 24, 16));
        c.fill(Sparkle(QPointF(7, 7), 6.5), gold, c.outline() * 0.85);
        return;
    case ID_BURST_STRIP:
        PhotoStrip(c);
        return;
    case ID_RECORD_VIDEO:
        c.fill(Polygon({QPointF(21, 16), QPointF(30, 10), QPointF(30, 25), QPointF(21, 19)}), coralDark);
        c.fill(RoundRect(QRectF(2, 9, 20, 17), 3), coral);
        c.fill(Circle(QPointF(8, 15), 3.3), red, c.outline() * 0.85);
        if (!c.small())
            c.flat(Circle(QPointF(7, 14), 1), white);
        return;
    case ID_RECORD_GIF:
        Scene(c, QRectF(9, 2.5, 20, 16));
        Scene(c, QRectF(5.5, 6.5, 20, 16));
        Scene(c, QRectF(2, 10.5, 20, 16));
        RecordBadge(c);
        return;
    case ID_GIF_SECONDS_2:
        Stopwatch(c, 2);
        return;
    case ID_GIF_SECONDS_3:
        Stopwatch(c, 3);
        return;
    case ID_GIF_SECONDS_5:
        Stopwatch(c, 5);
        return;
    case ID_FACE_STICKERS:
        Face(c);
        return;

    // Colour channels and models.
    case ID_SLIDER_B0:
        Brightness(c, 1);
        return;
    case ID_SLIDER_B1:
        Brightness(c, 2);
        return;
    case ID_SLIDER_B2:
        Brightness(c, 3);
        return;
    case ID_SLIDER_C0:
        Contrast(c, 1);
        return;
    case ID_SLIDER_C1:
        Contrast(c, 2);
        return;
    case ID_SLIDER_C2:
        Contrast(c, 3);
        return;
    case ID_BUTTON_DEFUALT_COLOR:
        ChannelBars(c);
        UndoBadge(c);
        return;
    case ID_CHECK_RGB:
        Rgb(c);
        return;
    case ID_CHECK_HSV:
        ColourSolid(c, false);
        return;
    case ID_CHECK_HLS:
        ColourSolid(c, true);
        return;
    case ID_CHECK_YCRCB:
        YCrCb(c);
        return;

    // Effect styles: each shows its look on the little landscape.
    case ID_BUTTON_BLACKWHITE:
    case ID_BUTTON_INVERT:
    case ID_BUTTON_ERODE:
    case ID_BUTTON_SKETCH:
    case ID_BUTTON_GRAIN:
    case ID_BUTTON_SMOOTH_SKETCH:
        EffectScene(c, id);
        return;

    // Region.
    case ID_BUTTON_ROI: {
        Scene(c, kSceneRect);
        DashedRect(c, QRectF(6, 8, 12, 10), white);
        const QPointF lens(19, 17);
        c.line(lens + QPointF(4.5, 4.5), QPointF(28.5, 28.5), outline, c.small() ? 3.6 : 3.2);
        c.fill(Circle(lens, c.small() ? 6.5 : 6), QColor(255, 255, 255, 200));
        c.line(lens + QPointF(-3, 0), lens + QPointF(3, 0), outline, GlyphWidth(c) * 0.8);
        c.line(lens + QPointF(0, -3), lens + QPointF(0, 3), outline, GlyphWidth(c) * 0.8);
        return;
    }
    case ID_BUTTON_CANCEL_ROI:
        Scene(c, kSceneRect);
        DashedRect(c, QRectF(6, 8, 12, 10), white);
        UndoBadge(c);
        return;
    case ID_BUTTON_EFFECT_ROI: {
        Scene(c, kSceneRect);
        const QRectF area(6, 8, 14, 12);
        c.flat(Rect(area), QColor(0x60, 0x60, 0x70, 170));
        DashedRect(c, area, white);
        c.fill(Sparkle(QPointF(23, 21), 7.5), gold, c.outline() * 0.85);
        return;
    }
    case ID_BUTTON_DEFUALT_EFFECT: {
        const QRectF area(3, 5, 20, 18);
        DashedRect(c, area, blue);
        c.fill(Sparkle(QPointF(13, 14), 8), gold, c.outline() * 0.85);
        UndoBadge(c);
        return;
    }

    // Flips.
    case ID_BUTTON_H_FLIP:
        Flip(c, 0);
        return;
    case ID_BUTTON_V_FLIP:
        Flip(c, 90);
        return;
    case ID_BUTTON_HV_FLIP: {
        // Both axes: the shape goes to the opposite corner.
        QPen axis(blue, c.thin(), Qt::CustomDashLine, Qt::FlatCap);
        axis.setDashPattern({1.6, 1.4});
        c.painter().setPen(axis);
        c.painter().drawLine(QPointF(16, 2), QPointF(16, 30));
        c.painter().drawLine(QPointF(2, 16), QPointF(30, 16));
        c.painter().setPen(Qt::NoPen);
        c.fill(Polygon({QPointF(3, 3), QPointF(13, 3), QPointF(3, 13)}), coral);
        c.fill(Polygon({QPointF(29, 29), QPointF(19, 29), QPointF(29, 19)}), white);
        const double w = c.small() ? 2.4 : 2.0;
        QPainterPath turn(QPointF(15.5, 6.5));
        turn.quadTo(QPointF(26.5, 5), QPointF(25.5, 15.5));
        c.strokeOutlined(turn, blue, w);
        QPainterPath head(QPointF(21.5, 12));
        head.lineTo(25.5, 16);
        head.lineTo(29, 11.5);
        c.strokeOutlined(head, blue, w);
        return;
    }

    // Optical flow.
    case ID_BUTTON_LIGHTFLOW_AUTO:
        FlowDots(c, red);
        PlayBadge(c);
        return;
    case ID_BUTTON_LIGHTFLOW_MANUAL:
        FlowDots(c, red);
        PointerShape(c, QPointF(17, 15), c.small() ? 15 : 13.5);
        return;
    case ID_BUTTON_LIGHTFLOW_NIGHT: {
        c.fill(RoundRect(QRectF(2.5, 2.5, 27, 27), 4), night);
        QPainterPath moon;
        moon.addEllipse(QPointF(21, 10), 6, 6);
        QPainterPath bite;
        bite.addEllipse(QPointF(24, 7.5), 5, 5);
        c.flat(moon.subtracted(bite), gold);
        for (const QPointF& d : {QPointF(9, 19), QPointF(16, 24), QPointF(22, 20)}) {
            c.flat(Circle(d, 3.6), QColor(0xFF, 0x60, 0x70, 90));
            c.flat(Circle(d, 2.2), QColor(0xFF, 0x70, 0x80));
        }
        if (!c.small())
            c.flat(Sparkle(QPointF(9, 9), 3), white);
        return;
    }
    case ID_BUTTON_ESC_LIGHTFLOW:
        FlowDots(c, red);
        CrossBadge(c);
        return;
    case ID_BUTTON_FLOW_COLOR:
        FlowPalette(c, QColor(255, 0, 0));
        return;

    // Doodle.
    case ID_BUTTON_MOUSE_PAINT:
        Squiggle(c, coral, c.small() ? 2.4 : 2.2);
        Brush(c, coral);
        return;
    case ID_BUTTON_PAINT_COLOR:
        PaintBucket(c, QColor(255, 0, 0));
        return;
    case ID_BUTTON_PAINT_SET:
        Squiggle(c, coral, c.small() ? 2.4 : 2.2);
        Brush(c, coral);
        GearBadge(c);
        return;
    case ID_BUTTON_PAINT_HIDE:
        Squiggle(c, coral, c.small() ? 2.4 : 2.2);
        EyeBadge(c, true);
        return;
    case ID_BUTTON_PAINT_CLEAR:
        Squiggle(c, coral, c.small() ? 2.4 : 2.2);
        c.painter().save();
        c.painter().translate(21, 19);
        c.painter().rotate(-35);
        c.fill(RoundRect(QRectF(-8, -4.5, 16, 9), 2), pink);
        c.fill(RoundRect(QRectF(2, -4.5, 6, 9), 2), ring);
        c.painter().restore();
        return;
    case ID_BUTTON_PEN_WIDETH: {
        const std::array<double, 3> widths{1.4, 3.0, 5.2};
        for (int i = 0; i < 3; ++i) {
            const double y = 7 + i * 8.5;
            QPainterPath wave(QPointF(5, y + 1.5));
            wave.cubicTo(QPointF(12, y - 3), QPointF(19, y + 4), QPointF(27, y - 1));
            c.stroke(wave, coralDark, std::max(widths[i], c.small() ? 1.5 : 1.0));
        }
        return;
    }

    // The big frame.
    case ID_BUTTON_FRAME_SHOWIF:
        BigFrame(c);
        EyeBadge(c);
        return;
    case ID_BUTTON_FRAME_TYPE:
        BigFrame(c);
        SwitchBadge(c);
        return;
    case ID_BUTTON_FRAME_GIF:
        BigFrame(c);
        PlayBadge(c);
        return;
    case ID_BUTTON_FRAME_PNG:
        BigFrame(c);
        CheckerBadge(c);
        return;

    // Add-ons.
    case ID_BUTTON_ADDON_SHOWIF:
        Sticker(c);
        EyeBadge(c);
        return;
    case ID_BUTTON_ADD_ON_TYPE:
        Sticker(c);
        SwitchBadge(c);
        return;
    case ID_BUTTON_ADD_ON_GIF:
        Sticker(c);
        PlayBadge(c);
        return;
    case ID_BUTTON_ADD_ON_PNG:
        Sticker(c);
        CheckerBadge(c);
        return;
    case ID_BUTTON_CLEAR_ADDON:
        Sticker(c);
        CrossBadge(c);
        return;
    case ID_BUTTON_DRAG_ADD_ON: {
        Sticker(c);
        const QPointF centre(23, 23);
        const double w = c.small() ? 2.2 : 1.8, r = c.small() ? 7.5 : 6.5;
        for (int i = 0; i < 4; ++i) {
            const double a = i * kPi / 2;
            const QPointF d(std::cos(a), std::sin(a)), n(-d.y(), d.x());
            QPainterPath arm(centre);
            arm.lineTo(centre + d * r);
            c.strokeOutlined(arm, blue, w);
            QPainterPath head(centre + d * (r - 2.5) + n * 2.5);
            head.lineTo(centre + d * r);
            head.lineTo(centre + d * (r - 2.5) - n * 2.5);
            c.strokeOutlined(head, blue, w);
        }
        return;
    }

    // Folders.
    case ID_BUTTON_OPEN_PHOTO_DIR:
        FolderPhoto(c);
        OpenBadge(c);
        return;
    case ID_BUTTON_PHOTO_DIR:
        FolderPhoto(c);
        GearBadge(c);
        return;
    case ID_BUTTON_OPEN_FRAME:
        FolderFrame(c);
        OpenBadge(c);
        return;
    case ID_BUTTON_FRAME_DIR:
        FolderFrame(c);
        GearBadge(c);
        return;
    case ID_BUTTON_OPEN_ADD_ON_DIR:
        FolderAddOn(c);
        OpenBadge(c);
        return;
    case ID_BUTTON_ADD_ON_DIR:
        FolderAddOn(c);
        GearBadge(c);
        return;

    // Help.
    case ID_BUTTON_ABOUT:
        CameraBody(c, QRectF(2.5, 8, 24, 16), coral);
        InfoBadge(c);
        return;
    case ID_APP_ABOUT: {
        c.fill(Circle(QPointF(16, 16), 13), blue);
        c.flat(Circle(QPointF(16, 9.5), c.small() ? 2.4 : 2.1), white);
        c.line(QPointF(16, 14.5), QPointF(16, 23.5), white, c.small() ? 3.6 : 3.2);
        return;
    }
    case ID_BUTTON_DOC:
        Book(c);
        return;
    case ID_SYSLINK_MY_WEB:
        Globe(c);
        LinkBadge(c);
        return;

    // Window, bars and looks.
    case ID_VIEW_STATUS_BAR:
        WindowShape(c, QRectF(2.5, 4, 27, 24));
        c.fill(Rect(QRectF(2.5, 21.5, 27, 6.5)),
               gold, c.outline() * 0.8);
        return;
    case ID_VIEW_CAPTION_BAR:
        WindowShape(c, QRectF(2.5, 4, 27, 24));
        c.fill(Rect(QRectF(2.5, 9, 27, 6.5)),
               goldLight, c.outline() * 0.8);
        c.flat(Circle(QPointF(7, 12.25), 2), blue);
        return;
    case ID_CAPTION_BAR_OPTIONS:
        WindowShape(c, QRectF(2.5, 4, 27, 24));
        c.fill(Rect(QRectF(2.5, 9, 27, 6.5)),
               goldLight, c.outline() * 0.8);
        GearBadge(c);
        return;
    case ID_VIEW_APPLOOK_OFF_2007_BLUE:
    case ID_VIEW_APPLOOK_OFF_2007_BLACK:
    case ID_VIEW_APPLOOK_OFF_2007_SILVER:
    case ID_VIEW_APPLOOK_OFF_2007_AQUA:
    case ID_VIEW_APPLOOK_WINDOWS_7:
        LookSwatch(c, static_cast<unsigned>(id));
        return;
    case ID_APP_EXIT: {
        c.fill(RoundRect(QRectF(4, 3, 15, 26), 1.5), coralDark);
        c.fill(Polygon({QPointF(4, 3), QPointF(13, 6), QPointF(13, 31), QPointF(4, 29)}), coral, c.outline() * 0.9);
        c.flat(Circle(QPointF(11, 17), 1.3), gold);
        const double w = c.small() ? 2.6 : 2.4;
        QPainterPath arrow(QPointF(15, 16));
        arrow.lineTo(29, 16);
        c.strokeOutlined(arrow, green, w);
        QPainterPath head(QPointF(25, 11.5));
        head.lineTo(29.5, 16);
        head.lineTo(25, 20.5);
        c.strokeOutlined(head, green, w);
        return;
    }

    // Edit.
    case ID_EDIT_COPY:
        c.fill(RoundRect(QRectF(4, 3, 15, 19), 1.5), white);
        c.fill(RoundRect(QRectF(12, 10, 15, 19), 1.5), sky);
        return;
    case ID_EDIT_CUT: {
        const double w = c.small() ? 2.4 : 2.0;
        c.line(QPointF(10, 3), QPointF(20, 20), grey, w + 1);
        c.line(QPointF(22, 3), QPointF(12, 20), grey, w + 1);
        c.stroke(Circle(QPointF(9.5, 24), 4), coral, w + 0.6);
        c.stroke(Circle(QPointF(22.5, 24), 4), coral, w + 0.6);
        return;
    }
    case ID_EDIT_PASTE:
        c.fill(RoundRect(QRectF(4, 5, 19, 24), 2), orange);
        c.fill(RoundRect(QRectF(9, 3, 9, 5), 1.2), grey);
        c.fill(RoundRect(QRectF(14, 12, 14, 18), 1.5), white);
        return;
    }
    Neutral(c);
}

QIcon IconOf(const std::function<QImage(int)>& image)
{
    QIcon icon;
    for (const int size : kCommandIconSizes)
        icon.addPixmap(QPixmap::fromImage(image(size)));
    return icon;
}

} // namespace

QImage CommandIconImage(CommandId id, int pixels)
{
    IconCanvas canvas(pixels);
    Draw(canvas, id);
    return canvas.take();
}

QIcon CommandIcon(CommandId id)
{
    return IconOf([id](int size) { return CommandIconImage(id, size); });
}

QImage ColourButtonImage(CommandId id, const QColor& current, int pixels)
{
    IconCanvas canvas(pixels);
    if (id == ID_BUTTON_FLOW_COLOR)
        FlowPalette(canvas, current);
    else if (id == ID_BUTTON_PAINT_COLOR)
        PaintBucket(canvas, current);
    else
        Draw(canvas, id);
    return canvas.take();
}

QIcon ColourButtonIcon(CommandId id, const QColor& current)
{
    return IconOf([id, current](int size) { return ColourButtonImage(id, current, size); });
}

QPixmap PenWidthImage(int index)
{
    static constexpr std::array<int, kPenImageCount> kWidths{1, 3, 5, 8, 10, 13, 16, 20};
    if (index < 0 || index >= kPenImageCount)
        return {};
    const double w = kWidths[static_cast<std::size_t>(index)];
    QImage image(32, 32, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    // A curve whose ends stay inside the image with their round caps, so each width shows whole.
    const double inset = w / 2 + 2;
    QPainterPath stroke(QPointF(inset, 32 - inset));
    stroke.cubicTo(QPointF(16 - w * 0.2, 32 - inset), QPointF(16 + w * 0.2, inset), QPointF(32 - inset, inset));
    // A light rim keeps the ink visible on the dark looks' menus.
    p.strokePath(stroke, QPen(QColor(255, 255, 255, 200), w + 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(stroke, QPen(IconInk::outline, w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.end();
    return QPixmap::fromImage(image);
}

QImage AppIconImage(int pixels)
{
    IconCanvas c(pixels);
    // The welcome camera in small: coral body, gold shutter, the logo's lens with its P.
    const QRectF b(2, 9, 28, 20);
    c.fill(RoundRect(QRectF(20, 5, 6.5, 6), 1.5), gold);
    c.fill(RoundRect(QRectF(6, 4.5, 9.5, 8), 2), coral);
    const QPainterPath body = RoundRect(b, 5);
    c.flat(body, coral);
    c.painter().save();
    c.painter().setClipPath(body);
    c.painter().fillRect(QRectF(b.left(), b.top(), b.width(), 4.5), coralLight);
    if (!c.small())
        c.painter().fillRect(QRectF(b.left(), b.bottom() - 3, b.width(), 3), coralDark);
    c.painter().restore();
    c.fill(body, Qt::transparent);
    if (!c.small())
        c.fill(RoundRect(QRectF(4.5, 11.5, 5, 3.2), 1), goldLight, c.outline() * 0.7);
    const QPointF lens(16, 19.5);
    c.fill(Circle(lens, 9), ring);
    c.flat(Circle(lens, 7.2), outline);
    if (c.small()) {
        // A P of two pixels would be a smudge: the plain lens reads better.
        c.flat(Circle(lens, 6.2), coral);
        c.flat(Circle(lens + QPointF(-2, -2), 2), white);
    } else {
        LogoLens(c, lens, 6.2);
    }
    return c.take();
}

QIcon AppIcon()
{
    QIcon icon;
    for (const int size : kAppIconSizes)
        icon.addPixmap(QPixmap::fromImage(AppIconImage(size)));
    return icon;
}
