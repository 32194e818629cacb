#include "tools/assetgen/Assets.h"
#include "tools/assetgen/Shapes.h"

#include <QPen>
#include <array>
#include <cmath>
#include <numbers>

// The animated add-ons. Transparent pixels stay transparent in every frame.

namespace {

constexpr double kPi = std::numbers::pi;

QImage spinningStar(double turn)
{
    QImage image = blankImage(96, 96);
    QPainter p;
    beginPainting(p, image);
    const QPointF c(48, 48);
    fillOutlined(p, StarPath(c, 42, 19, 5, turn), Ink::gold, Ink::outline, 5);
    fillOutlined(p, StarPath(c, 17, 8, 5, turn), Ink::goldLight, Ink::outline, 0);
    // Little sparks thrown off the tips.
    p.setPen(Qt::NoPen);
    p.setBrush(Ink::pink);
    for (int i = 0; i < 5; ++i) {
        const double a = (turn - 90 + 36 + i * 72) * kPi / 180.0;
        p.drawEllipse(c + QPointF(40 * std::cos(a), 40 * std::sin(a)), 3, 3);
    }
    p.end();
    return image;
}

QImage beatingHeart(double scale)
{
    QImage image = blankImage(96, 96);
    QPainter p;
    beginPainting(p, image);
    const QPointF c(48, 50);
    const double width = 74 * scale;
    fillOutlined(p, HeartPath(c, width), Ink::red, Ink::outline, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xB3, 0xBE));
    p.drawEllipse(c + QPointF(-width * 0.24, -width * 0.18), width * 0.1, width * 0.065);
    p.end();
    return image;
}

// lid: 0 open .. 1 shut; look: pupil offset to the right in pixels.
QImage eyes(double lid, double look)
{
    QImage image = blankImage(150, 72);
    QPainter p;
    beginPainting(p, image);
    for (double x : {40.0, 110.0}) {
        const QPointF c(x, 36);
        QPainterPath white;
        white.addEllipse(c, 28, 31);
        if (lid < 1.0) {
            p.fillPath(white, Ink::white);
            p.save();
            p.setClipPath(white);
            p.setPen(Qt::NoPen);
            p.setBrush(Ink::outline);
            p.drawEllipse(c + QPointF(look, 5), 12, 14);
            p.setBrush(Ink::white);
            p.drawEllipse(c + QPointF(look - 4, 0), 4, 4);
            // The lid comes down from the top as a skin-coloured cap.
            if (lid > 0) {
                p.setBrush(Ink::coral);
                p.drawRect(QRectF(c.x() - 30, c.y() - 32, 60, 62 * lid));
            }
            p.restore();
            p.strokePath(white, QPen(Ink::outline, 5));
            if (lid > 0) {
                p.setPen(QPen(Ink::outline, 4, Qt::SolidLine, Qt::RoundCap));
                const double y = c.y() - 31 + 62 * lid;
                const double half = 28 * std::sqrt(std::max(0.0, 1 - std::pow((y - c.y()) / 31, 2)));
                p.drawLine(QPointF(c.x() - half, y), QPointF(c.x() + half, y));
            }
        } else {
            p.fillPath(white, Ink::coral);
            p.strokePath(white, QPen(Ink::outline, 5));
            QPainterPath lash;
            lash.arcMoveTo(QRectF(c.x() - 20, c.y() - 8, 40, 22), 200);
            lash.arcTo(QRectF(c.x() - 20, c.y() - 8, 40, 22), 200, 140);
            p.strokePath(lash, QPen(Ink::outline, 4, Qt::SolidLine, Qt::RoundCap));
        }
    }
    p.end();
    return image;
}

} // namespace

Animation spinningStarAddOn()
{
    // Five-fold symmetry: 72 degrees is a full turn of the pattern.
    constexpr int frames = 8;
    Animation animation;
    for (int f = 0; f < frames; ++f)
        animation.add(spinningStar(f * 72.0 / frames), 6);
    return animation;
}

Animation heartbeatAddOn()
{
    // Lub-dub, then a rest.
    constexpr std::array<double, 6> scales{1.0, 1.14, 1.04, 1.2, 1.08, 0.98};
    constexpr std::array<int, 6> delays{8, 8, 6, 10, 8, 40};
    Animation animation;
    for (std::size_t i = 0; i < scales.size(); ++i)
        animation.add(beatingHeart(scales[i]), delays[i]);
    return animation;
}

Animation eyesAddOn()
{
    Animation animation;
    animation.add(eyes(0, 0), 150);
    animation.add(eyes(0.55, 0), 5);
    animation.add(eyes(1, 0), 8);
    animation.add(eyes(0.55, 0), 5);
    animation.add(eyes(0, -10), 70);
    animation.add(eyes(0, 10), 70);
    animation.add(eyes(0, 0), 40);
    return animation;
}
