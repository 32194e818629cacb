#include "app/ribbon/IconMotifs.h"

#include <QPen>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

namespace IconArt {

using namespace IconInk;

namespace {

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

} // namespace

void Scene(IconCanvas& c, const QRectF& r, const SceneColours& k)
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

void DashedRect(IconCanvas& c, const QRectF& r, const QColor& colour)
{
    QPen pen(colour, c.thin(), Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
    pen.setDashPattern({2.0, 1.6});
    c.painter().strokePath(RoundRect(r, 1), pen);
}

void CameraBody(IconCanvas& c, const QRectF& b, const QColor& lensFill)
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
    c.fill(HeartPath(QPointF(13, 15), 19), pink);
    if (!c.small())
        c.flat(Circle(QPointF(8.5, 11), 1.6), white);
    c.fill(StarPath(QPointF(25, 7.5), 5.5, 2.4, 5, 0), gold, c.outline() * 0.85);
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
    Folder(c, [&] { c.fill(HeartPath(QPointF(16, 10.5), 13), pink); });
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
    if (c.small() && digit >= 0) {
        // The digit needs the whole face at 16 pixels: a coral rim instead of a ring.
        c.fill(Circle(centre, 12.5), white);
        c.stroke(Circle(centre, 11.2), coral, 1.6);
        c.stroke(Digit(digit, QRectF(11.5, 11, 9, 14)), outline, 3.2);
        return;
    }
    c.fill(Circle(centre, 12.5), coral);
    c.fill(Circle(centre, 9.5), white, c.outline() * 0.8);
    if (digit >= 0) {
        c.stroke(Digit(digit, QRectF(12.5, 12, 7, 12)), outline, 2.4);
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
    // Wider at 16 pixels, so the four pictures stay apart.
    const double grow = c.small() ? 2.5 : 0;
    c.fill(RoundRect(QRectF(9 - grow, 1.5, 14 + 2 * grow, 29), 1.5), coral);
    for (int i = 0; i < 4; ++i) {
        const QRectF cell(11.5 - grow, 3.5 + i * 6.75, 9 + 2 * grow, 5.2);
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
    c.fill(HeartPath(QPointF(24.5, 23.5), 10), pink);
}

void Person(IconCanvas& c, QPointF headCentre, double scale)
{
    const double s = scale;
    QPainterPath shoulders;
    shoulders.moveTo(headCentre + QPointF(-9 * s, 15 * s));
    shoulders.cubicTo(headCentre + QPointF(-9 * s, 7 * s), headCentre + QPointF(-5 * s, 5.5 * s),
        headCentre + QPointF(0, 5.5 * s));
    shoulders.cubicTo(headCentre + QPointF(5 * s, 5.5 * s), headCentre + QPointF(9 * s, 7 * s),
        headCentre + QPointF(9 * s, 15 * s));
    shoulders.closeSubpath();
    c.fill(shoulders, violet);
    c.fill(Circle(headCentre, 4.6 * s), coralLight);
}

void Cloth(IconCanvas& c, const QRectF& r, const QColor& colour)
{
    c.fill(RoundRect(r, 1.5), colour);
    if (c.small())
        return;
    // Folds: two darker lines down the cloth.
    const QColor fold = colour.darker(125);
    for (const double x : { r.left() + r.width() * 0.3, r.left() + r.width() * 0.72 })
        c.line(QPointF(x, r.top() + 2), QPointF(x, r.bottom() - 2), fold, c.thin());
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

} // namespace IconArt
