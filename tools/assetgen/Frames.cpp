#include "tools/assetgen/Assets.h"
#include "tools/assetgen/Shapes.h"

#include <QPen>
#include <QTransform>
#include <algorithm>
#include <cmath>

// The still big frames: opaque around the edge, transparent in the middle.

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;

// A strip of wood with its grain running along the length.
QImage woodGrain(int length, int thickness, std::uint32_t seed)
{
    Lcg lcg(seed);
    const double phase = lcg.uniform(0, 6.28);
    const double knotX = lcg.uniform(0.2, 0.8) * length;
    std::vector<double> streak(thickness);
    for (double& s : streak)
        s = lcg.uniform(-0.06, 0.06);
    QImage grain(length, thickness, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < thickness; ++y) {
        auto* row = reinterpret_cast<QRgb*>(grain.scanLine(y));
        for (int x = 0; x < length; ++x) {
            // Rings bend around one knot and wave gently along the strip.
            const double dx = (x - knotX) / 40.0;
            const double knot = 6.0 * std::exp(-dx * dx);
            const double v = y + 2.2 * std::sin(x / 53.0 + phase) + knot;
            const double ring = 0.5 + 0.5 * std::sin(v * 1.1);
            const double shade = 0.78 + 0.16 * ring + streak[std::clamp(int(v), 0, thickness - 1)];
            row[x] = qRgb(int(std::clamp(176 * shade, 0.0, 255.0)), int(std::clamp(112 * shade, 0.0, 255.0)),
                          int(std::clamp(62 * shade, 0.0, 255.0)));
        }
    }
    return grain;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF& pt : points) {
        if (first)
            path.moveTo(pt);
        else
            path.lineTo(pt);
        first = false;
    }
    path.closeSubpath();
    return path;
}

// Calls draw once per corner with the painter mirrored so that the corner is at the top left.
template <typename Draw>
void eachCorner(QPainter& p, Draw draw)
{
    const std::array<QTransform, 4> mirrors{QTransform(), QTransform(-1, 0, 0, 1, kWidth, 0),
                                            QTransform(1, 0, 0, -1, 0, kHeight),
                                            QTransform(-1, 0, 0, -1, kWidth, kHeight)};
    for (const QTransform& t : mirrors) {
        p.save();
        p.setTransform(t, true);
        draw(t);
        p.restore();
    }
}

// A heart drawn the right way up wherever a mirrored corner puts it; only its tilt mirrors.
void uprightHeart(QPainter& p, const QTransform& mirror, QPointF centre, double width, double tilt,
                  const QColor& colour, double outlineWidth, bool shine)
{
    p.save();
    p.resetTransform();
    p.translate(mirror.map(centre));
    p.rotate(mirror.m11() < 0 ? -tilt : tilt);
    fillOutlined(p, HeartPath({0, 0}, width), colour, Ink::outline, outlineWidth);
    if (shine) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 230));
        p.drawEllipse(QPointF(-width * 0.23, -width * 0.17), width * 0.1, width * 0.065);
    }
    p.restore();
}

} // namespace

QImage woodFrame()
{
    constexpr double b = 38;
    QImage image = blankImage(kWidth, kHeight);
    QPainter p;
    beginPainting(p, image);

    const QImage across = woodGrain(kWidth, int(b) + 2, 11u);
    const QImage across2 = woodGrain(kWidth, int(b) + 2, 12u);
    const QImage down = woodGrain(kHeight, int(b) + 2, 13u).transformed(QTransform().rotate(90));
    const QImage down2 = woodGrain(kHeight, int(b) + 2, 14u).transformed(QTransform().rotate(90));
    const double w = kWidth, h = kHeight;
    const QPainterPath top = polygon({{0, 0}, {w, 0}, {w - b, b}, {b, b}});
    const QPainterPath bottom = polygon({{0, h}, {b, h - b}, {w - b, h - b}, {w, h}});
    const QPainterPath left = polygon({{0, 0}, {b, b}, {b, h - b}, {0, h}});
    const QPainterPath right = polygon({{w, 0}, {w, h}, {w - b, h - b}, {w - b, b}});
    auto piece = [&](const QPainterPath& clip, const QImage& grain, QPointF at) {
        p.save();
        p.setClipPath(clip);
        p.drawImage(at, grain);
        p.restore();
    };
    piece(top, across, {0, 0});
    piece(bottom, across2, {0, h - b - 2});
    piece(left, down, {0, 0});
    piece(right, down2, {w - b - 2, 0});

    // Bevels: light on the edges that face the light (top, left), dark on the others.
    const QColor dark(0x4A, 0x2A, 0x14), light(0xE6, 0xB4, 0x7E);
    p.setPen(QPen(dark, 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1.5, 1.5, w - 3, h - 3));
    p.setPen(QPen(light, 6));
    p.drawLine(QPointF(b + 3, b + 3), QPointF(w - b - 3, b + 3));
    p.drawLine(QPointF(b + 3, b + 3), QPointF(b + 3, h - b - 3));
    p.setPen(QPen(QColor(0x7A, 0x48, 0x24), 6));
    p.drawLine(QPointF(b + 3, h - b - 3), QPointF(w - b - 3, h - b - 3));
    p.drawLine(QPointF(w - b - 3, b + 3), QPointF(w - b - 3, h - b - 3));
    p.setPen(QPen(dark, 2, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.drawRect(QRectF(b + 6, b + 6, w - 2 * b - 12, h - 2 * b - 12));
    p.drawLine(QPointF(0, 0), QPointF(b, b));
    p.drawLine(QPointF(w, 0), QPointF(w - b, b));
    p.drawLine(QPointF(0, h), QPointF(b, h - b));
    p.drawLine(QPointF(w, h), QPointF(w - b, h - b));
    p.setPen(QPen(dark, 2));
    p.drawRect(QRectF(b, b, w - 2 * b, h - 2 * b));

    // Brass pins in the corners.
    eachCorner(p, [&](const QTransform&) {
        fillOutlined(p, [] {
            QPainterPath pin;
            pin.addEllipse(QPointF(19, 19), 5, 5);
            return pin;
        }(), Ink::gold, dark, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(Ink::goldLight);
        p.drawEllipse(QPointF(17.5, 17.5), 1.6, 1.6);
    });
    p.end();
    return image;
}

QImage filmFrame()
{
    constexpr double band = 58, side = 14;
    QImage image = blankImage(kWidth, kHeight);
    QPainter p;
    beginPainting(p, image);
    const QColor film(0x1E, 0x1C, 0x26);

    QPainterPath outside;
    outside.addRect(QRectF(0, 0, kWidth, kHeight));
    QPainterPath window;
    window.addRoundedRect(QRectF(side, band, kWidth - 2 * side, kHeight - 2 * band), 16, 16);
    p.fillPath(outside.subtracted(window), film);

    // Sprocket holes are real holes: the picture shows through them.
    p.setCompositionMode(QPainter::CompositionMode_Clear);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (double x = 14; x + 24 <= kWidth - 8; x += 40) {
        p.drawRoundedRect(QRectF(x, 12, 24, 17), 4, 4);
        p.drawRoundedRect(QRectF(x, kHeight - 29, 24, 17), 4, 4);
    }
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);

    // Edge markings in the amber of old film stock.
    const QColor amber(0xF2, 0xA3, 0x3A);
    p.setBrush(amber);
    for (int i = 0; i < 8; ++i) {
        const double x = 40 + i * 80;
        p.drawRect(QRectF(x, 38, 22, 5));
        p.drawRect(QRectF(x + 28, 38, 5, 5));
        const QPainterPath mark = polygon({{x + 44, kHeight - 44}, {x + 54, kHeight - 38}, {x + 44, kHeight - 32}});
        p.fillPath(mark, amber);
    }
    p.end();
    return image;
}

QImage heartsFrame()
{
    QImage image = blankImage(kWidth, kHeight);
    QPainter p;
    beginPainting(p, image);

    // A candy ribbon around the picture.
    QPainterPath ribbon;
    ribbon.addRoundedRect(QRectF(14, 14, kWidth - 28, kHeight - 28), 26, 26);
    p.strokePath(ribbon, QPen(Ink::outline, 12));
    p.strokePath(ribbon, QPen(Ink::pink, 8));
    QPen dots(Ink::white, 4, Qt::DotLine, Qt::RoundCap);
    dots.setDashPattern({0.01, 3.0});
    p.strokePath(ribbon, dots);

    const QColor leaf(0x6C, 0xC4, 0x74), lilac(0xC3, 0x9B, 0xF2), butter(0xFF, 0xE0, 0x6B);
    eachCorner(p, [&](const QTransform& mirror) {
        p.setPen(QPen(Ink::outline, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(leaf);
        p.save();
        p.translate(108, 40);
        p.rotate(-25);
        p.drawEllipse(QPointF(0, 0), 20, 9);
        p.restore();
        p.save();
        p.translate(40, 112);
        p.rotate(65);
        p.drawEllipse(QPointF(0, 0), 20, 9);
        p.restore();

        fillOutlined(p, flowerPath({94, 26}, 22, 10), lilac, Ink::outline, 3);
        fillOutlined(p, [] { QPainterPath c; c.addEllipse(QPointF(94, 26), 6, 6); return c; }(),
                     butter, Ink::outline, 2.5);
        fillOutlined(p, flowerPath({26, 96}, 19, 30), butter, Ink::outline, 3);
        fillOutlined(p, [] { QPainterPath c; c.addEllipse(QPointF(26, 96), 5, 5); return c; }(),
                     Ink::pink, Ink::outline, 2.5);

        uprightHeart(p, mirror, {44, 44}, 62, -18, Ink::red, 4, true);
        uprightHeart(p, mirror, {134, 24}, 17, 12, Ink::pink, 2.5, false);
        uprightHeart(p, mirror, {24, 140}, 15, -10, Ink::pink, 2.5, false);
    });
    p.end();
    return image;
}
