// The backdrops shipped for the person to stand before: drawn scenes at the picture's 640 × 480,
// with the horizon low enough that a person's head and shoulders leave the scene readable.

#include "tools/assetgen/Assets.h"
#include "tools/assetgen/Shapes.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <tuple>
#include <numbers>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr double kPi = std::numbers::pi;

QImage opaqueImage()
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

void skyGradient(QPainter& p, const QColor& top, const QColor& bottom, double bottomY)
{
    QLinearGradient sky(0, 0, 0, bottomY);
    sky.setColorAt(0, top);
    sky.setColorAt(1, bottom);
    p.fillRect(QRectF(0, 0, kWidth, bottomY), sky);
}

QPainterPath wave(double y, double amplitude, double length, double phase, double bottom)
{
    QPainterPath path(QPointF(0, bottom));
    for (int x = 0; x <= kWidth; x += 8)
        path.lineTo(x, y + amplitude * std::sin(2 * kPi * x / length + phase));
    path.lineTo(kWidth, bottom);
    path.closeSubpath();
    return path;
}

void drawStarShape(QPainter& p, QPointF centre, double radius, const QColor& colour)
{
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 == 0 ? radius : radius * 0.42;
        const double a = -kPi / 2 + i * kPi / 5;
        const QPointF point = centre + QPointF(r * std::cos(a), r * std::sin(a));
        if (i == 0)
            star.moveTo(point);
        else
            star.lineTo(point);
    }
    star.closeSubpath();
    p.fillPath(star, colour);
}

} // namespace

QImage beachBackdrop()
{
    QImage image = opaqueImage();
    QPainter p;
    beginPainting(p, image);
    skyGradient(p, QColor(0x5B, 0xB8, 0xF0), QColor(0xCD, 0xEB, 0xFA), 300);
    QRadialGradient sun(QPointF(520, 90), 70);
    sun.setColorAt(0, QColor(0xFF, 0xF4, 0xB8));
    sun.setColorAt(0.6, Ink::gold);
    sun.setColorAt(1, QColor(0xFF, 0xD4, 0x4D, 0));
    p.fillRect(QRectF(420, 0, 200, 200), sun);
    for (const auto& [x, y] : { std::pair { 90.0, 70.0 }, { 250.0, 110.0 } }) {
        p.setBrush(QColor(255, 255, 255, 230));
        p.setPen(Qt::NoPen);
        for (int i = 0; i < 4; ++i)
            p.drawEllipse(QPointF(x + i * 26, y - (i % 2) * 10), 30, 20);
    }
    p.fillPath(wave(300, 3, 160, 0, kHeight), QColor(0x2E, 0x9C, 0xCA));
    p.fillPath(wave(330, 4, 120, 1, kHeight), QColor(0x4F, 0xB8, 0xD8));
    p.fillPath(wave(372, 6, 220, 2, kHeight), QColor(0xF5, 0xF8, 0xFA));
    p.fillPath(wave(380, 6, 220, 2, kHeight), QColor(0xF3, 0xDC, 0x9A));
    // A palm at the left edge.
    QPainterPath trunk;
    trunk.moveTo(40, kHeight);
    trunk.cubicTo(50, 380, 70, 260, 110, 170);
    trunk.lineTo(122, 176);
    trunk.cubicTo(86, 260, 70, 380, 66, kHeight);
    trunk.closeSubpath();
    fillOutlined(p, trunk, QColor(0xB0, 0x7A, 0x4A), Ink::outline, 2);
    for (int i = 0; i < 6; ++i) {
        const double a = -kPi * 0.95 + i * kPi * 0.22;
        QPainterPath leaf(QPointF(116, 172));
        const QPointF tip(116 + 110 * std::cos(a), 172 + 70 * std::sin(a) + 40);
        leaf.quadTo(QPointF(116 + 60 * std::cos(a - 0.3), 172 + 60 * std::sin(a - 0.3)), tip);
        leaf.quadTo(QPointF(116 + 50 * std::cos(a + 0.3), 172 + 50 * std::sin(a + 0.3)), QPointF(116, 172));
        fillOutlined(p, leaf, Ink::green, Ink::outline, 2);
    }
    p.end();
    return image;
}

Animation starsBackdrop()
{
    Animation animation;
    Lcg lcg(2025);
    struct Star {
        QPointF at;
        double radius;
        double phase;
    };
    std::vector<Star> stars;
    for (int i = 0; i < 90; ++i)
        stars.push_back({ QPointF(lcg.uniform(0, kWidth), lcg.uniform(0, kHeight * 0.8)), lcg.uniform(1.2, 3.2),
            lcg.uniform(0, 2 * kPi) });
    constexpr int kFrames = 8;
    for (int f = 0; f < kFrames; ++f) {
        QImage image = opaqueImage();
        QPainter p;
        beginPainting(p, image);
        skyGradient(p, QColor(0x10, 0x12, 0x30), Ink::night, kHeight);
        // The milky way: a soft violet band.
        QLinearGradient band(0, 120, kWidth, 320);
        band.setColorAt(0, QColor(0xA4, 0x6B, 0xF0, 0));
        band.setColorAt(0.5, QColor(0xA4, 0x6B, 0xF0, 70));
        band.setColorAt(1, QColor(0xA4, 0x6B, 0xF0, 0));
        p.fillRect(QRectF(0, 0, kWidth, kHeight), band);
        for (const Star& s : stars) {
            const double twinkle = 0.55 + 0.45 * std::sin(s.phase + 2 * kPi * f / kFrames);
            const int alpha = int(120 + 135 * twinkle);
            drawStarShape(p, s.at, s.radius * (1.5 + twinkle), QColor(0xFF, 0xF1, 0xA8, alpha));
        }
        p.setBrush(Ink::goldLight);
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(540, 80), 34, 34);
        p.setBrush(QColor(0x10, 0x12, 0x30));
        p.drawEllipse(QPointF(556, 70), 30, 30);
        p.fillPath(wave(420, 14, 300, 0.5, kHeight), QColor(0x1B, 0x1E, 0x3C));
        p.end();
        animation.add(image, 25);
    }
    return animation;
}

QImage underwaterBackdrop()
{
    QImage image = opaqueImage();
    QPainter p;
    beginPainting(p, image);
    skyGradient(p, QColor(0x4F, 0xC8, 0xE8), QColor(0x10, 0x4E, 0x8A), kHeight);
    // Light from above in slanted rays.
    for (int i = 0; i < 5; ++i) {
        QPainterPath ray;
        const double x = 60 + i * 130;
        ray.moveTo(x, 0);
        ray.lineTo(x + 50, 0);
        ray.lineTo(x + 140, kHeight);
        ray.lineTo(x + 60, kHeight);
        ray.closeSubpath();
        p.fillPath(ray, QColor(255, 255, 255, 28));
    }
    p.fillPath(wave(430, 10, 200, 1, kHeight), QColor(0xE8, 0xD2, 0x8E));
    Lcg lcg(77);
    for (int i = 0; i < 7; ++i) {
        // Seaweed.
        const double x = 20 + i * 95 + lcg.uniform(-15, 15);
        QPainterPath weed(QPointF(x, kHeight));
        for (int y = kHeight; y > 300 + lcg.uniform(-40, 40); y -= 20)
            weed.lineTo(x + 10 * std::sin(y / 25.0 + i), y);
        QPen pen(Ink::green, 9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.strokePath(weed, pen);
    }
    const std::array fishColours { Ink::orange, Ink::coral, Ink::gold };
    for (int i = 0; i < 6; ++i) {
        const QPointF at(lcg.uniform(40, 600), lcg.uniform(60, 360));
        const double size = lcg.uniform(14, 26);
        QPainterPath fish;
        fish.addEllipse(at, size, size * 0.55);
        fish.moveTo(at + QPointF(size * 0.8, 0));
        fish.lineTo(at + QPointF(size * 1.6, -size * 0.5));
        fish.lineTo(at + QPointF(size * 1.6, size * 0.5));
        fish.closeSubpath();
        fillOutlined(p, fish.simplified(), fishColours[size_t(i) % fishColours.size()], Ink::outline, 2);
        p.setBrush(Ink::outline);
        p.drawEllipse(at - QPointF(size * 0.5, size * 0.1), 2.5, 2.5);
    }
    p.setPen(QPen(QColor(255, 255, 255, 180), 2));
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 14; ++i)
        p.drawEllipse(QPointF(lcg.uniform(0, kWidth), lcg.uniform(0, 420)), 3 + i % 4, 3 + i % 4);
    p.end();
    return image;
}

QImage partyBackdrop()
{
    QImage image = opaqueImage();
    QPainter p;
    beginPainting(p, image);
    skyGradient(p, QColor(0x5A, 0x2E, 0x8A), QColor(0xA4, 0x6B, 0xF0), kHeight);
    // Bunting across the top.
    const std::array flags { Ink::red, Ink::gold, Ink::green, Ink::blue, Ink::pink };
    for (int i = 0; i < 16; ++i) {
        const double x = i * 42.0;
        const double y = 30 + 10 * std::sin(i * kPi / 8);
        QPainterPath flag;
        flag.moveTo(x, y);
        flag.lineTo(x + 40, y + 2);
        flag.lineTo(x + 20, y + 40);
        flag.closeSubpath();
        fillOutlined(p, flag, flags[size_t(i) % flags.size()], Ink::outline, 1.5);
    }
    Lcg lcg(12);
    // Balloons at the sides, confetti everywhere.
    for (const double x : { 60.0, 120.0, 520.0, 585.0 }) {
        const QPointF at(x, 170 + lcg.uniform(-30, 30));
        p.setPen(QPen(Ink::white, 1.5));
        p.drawLine(at + QPointF(0, 40), at + QPointF(lcg.uniform(-10, 10), 220));
        QPainterPath balloon;
        balloon.addEllipse(at, 32, 40);
        fillOutlined(p, balloon, flags[size_t(x) % flags.size()], Ink::outline, 2);
        p.setBrush(QColor(255, 255, 255, 120));
        p.setPen(Qt::NoPen);
        p.drawEllipse(at + QPointF(-11, -14), 7, 10);
    }
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 160; ++i) {
        p.setBrush(flags[size_t(i) % flags.size()]);
        p.save();
        p.translate(lcg.uniform(0, kWidth), lcg.uniform(70, kHeight));
        p.rotate(lcg.uniform(0, 180));
        p.drawRect(QRectF(-4, -2, 8, 4));
        p.restore();
    }
    p.end();
    return image;
}

QImage cityBackdrop()
{
    QImage image = opaqueImage();
    QPainter p;
    beginPainting(p, image);
    skyGradient(p, QColor(0x0E, 0x10, 0x2A), QColor(0x5A, 0x3E, 0x8A), kHeight);
    Lcg lcg(404);
    for (const auto& [shade, base, lit] : { std::tuple { QColor(0x2A, 0x2F, 0x5A), 240.0, 60 },
             std::tuple { QColor(0x1A, 0x1C, 0x38), 300.0, 110 } }) {
        for (double x = -10; x < kWidth;) {
            const double w = lcg.uniform(50, 95);
            const double top = base - lcg.uniform(0, 150);
            p.fillRect(QRectF(x, top, w - 4, kHeight - top), shade);
            // Lit windows in a grid.
            for (double wy = top + 12; wy < kHeight - 20; wy += 22)
                for (double wx = x + 8; wx < x + w - 16; wx += 16)
                    if (int(lcg.next() % 255) < lit)
                        p.fillRect(QRectF(wx, wy, 7, 10), QColor(0xFF, 0xD4, 0x4D, 220));
            x += w;
        }
    }
    p.setBrush(Ink::goldLight);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(90, 70), 26, 26);
    p.end();
    return image;
}

QImage paperCutBackdrop()
{
    QImage image = opaqueImage();
    QPainter p;
    beginPainting(p, image);
    p.fillRect(QRectF(0, 0, kWidth, kHeight), QColor(0xFF, 0xF4, 0xE0));
    // Layers of paper hills, each with a soft shadow on the one behind.
    const std::array layers { QColor(0xFF, 0xCB, 0xA4), QColor(0xF7, 0x87, 0x6F), QColor(0xE8, 0x5C, 0x5C),
        QColor(0xB8, 0x3B, 0x5E), QColor(0x6B, 0x2A, 0x5A) };
    for (size_t i = 0; i < layers.size(); ++i) {
        const double y = 180 + i * 60.0;
        const QPainterPath hill = wave(y, 28 - i * 3.0, 260 + i * 70.0, i * 1.3, kHeight);
        p.fillPath(hill.translated(0, -6), QColor(0, 0, 0, 40));
        p.fillPath(hill, layers[i]);
    }
    QPainterPath sun;
    sun.addEllipse(QPointF(470, 130), 52, 52);
    p.fillPath(sun.translated(3, 4), QColor(0, 0, 0, 40));
    p.fillPath(sun, QColor(0xFF, 0xF1, 0xA8));
    for (int i = 0; i < 3; ++i) {
        QPainterPath bird;
        const QPointF at(150 + i * 45.0, 90 + (i % 2) * 18.0);
        bird.moveTo(at);
        bird.quadTo(at + QPointF(8, -8), at + QPointF(16, 0));
        bird.quadTo(at + QPointF(24, -8), at + QPointF(32, 0));
        p.strokePath(bird, QPen(QColor(0x6B, 0x2A, 0x5A), 3, Qt::SolidLine, Qt::RoundCap));
    }
    p.end();
    return image;
}
