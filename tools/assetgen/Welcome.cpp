#include "tools/assetgen/Assets.h"
#include "tools/assetgen/Shapes.h"

#include <QPen>
#include <array>
#include <cmath>
#include <numbers>

// The welcome card: a smiling camera whose iris turns open, clicks with a flash, winks and
// closes again, above the word PARVEL hopping letter by letter, among twinkling sparkles.

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kWidth = 640;
constexpr int kHeight = 480;
const QPointF kLens{320, 206};

struct Pose {
    double aperture;  // 0 closed .. 1 open
    double turn;      // iris rotation, degrees
    bool pressed;     // shutter button down
    bool flash;
    bool blink;
    int delay;        // hundredths of a second
};

// The whole loop, about three seconds: slow where there is something to look at.
constexpr std::array<Pose, 11> kPoses{{
    {0.00, 0, false, false, false, 60},
    {0.25, 12, false, false, false, 8},
    {0.50, 24, false, false, false, 8},
    {0.78, 36, false, false, false, 10},
    {1.00, 48, false, false, false, 12},
    {1.00, 48, true, true, false, 12},
    {1.00, 48, false, false, false, 20},
    {1.00, 48, false, false, true, 15},
    {1.00, 48, false, false, false, 50},
    {0.50, 24, false, false, false, 10},
    {0.00, 0, false, false, false, 100},
}};

struct Twinkle {
    QPointF at;
    double radius;
    double phase;
};
constexpr std::array<Twinkle, 7> kTwinkles{{
    {{96, 92}, 24, 0.0},
    {{548, 84}, 28, 0.35},
    {{78, 268}, 16, 0.6},
    {{566, 262}, 20, 0.15},
    {{150, 176}, 11, 0.8},
    {{494, 168}, 12, 0.5},
    {{604, 400}, 14, 0.25},
}};

void drawBackground(QPainter& p)
{
    p.fillRect(QRect(0, 0, kWidth, kHeight), Ink::sky);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xDA, 0xF1, 0xFC));
    p.drawEllipse(kLens, 232, 232);
    p.setBrush(QColor(0xE6, 0xF6, 0xFD));
    p.drawEllipse(kLens, 184, 184);
    // Confetti, scattered away from the camera and the title.
    Lcg lcg(20240611u);
    const std::array<QColor, 5> colours{Ink::pink, Ink::gold, QColor(0x7F, 0xD6, 0x8A),
                                        QColor(0x7C, 0xC4, 0xF5), QColor(0xC3, 0x9B, 0xF2)};
    int placed = 0;
    for (int tries = 0; tries < 400 && placed < 34; ++tries) {
        const QPointF c(lcg.uniform(12, kWidth - 12), lcg.uniform(12, kHeight - 12));
        const double r = lcg.uniform(3, 6);
        const QColor colour = colours[lcg.next() % colours.size()];
        const QPointF d = c - kLens;
        const bool nearCamera = std::hypot(d.x() / 210.0, d.y() / 170.0) < 1.0;
        const bool nearTitle = c.y() > 350 && c.y() < 452 && c.x() > 130 && c.x() < 510;
        if (nearCamera || nearTitle)
            continue;
        p.setBrush(colour);
        p.drawEllipse(c, r, r);
        ++placed;
    }
    // Soft shadow under the camera.
    p.setBrush(QColor(0xB4, 0xDA, 0xEE));
    p.drawEllipse(QPointF(320, 346), 150, 13);
}

void drawIris(QPainter& p, double aperture, double turn)
{
    const double r = 62;
    QPainterPath lens;
    lens.addEllipse(kLens, r, r);
    p.save();
    p.setClipPath(lens);
    p.fillPath(lens, QColor(0x6C, 0x67, 0x87));
    // Six blades leave a hexagonal hole; each blade edge runs on along a side of the hole.
    const double hole = std::max(0.05, aperture) * (r - 4);
    std::array<QPointF, 6> corner;
    for (int i = 0; i < 6; ++i) {
        const double a = (turn + i * 60.0) * kPi / 180.0;
        corner[i] = kLens + QPointF(hole * std::cos(a), hole * std::sin(a));
    }
    QPainterPath glass;
    glass.moveTo(corner[0]);
    for (int i = 1; i < 6; ++i)
        glass.lineTo(corner[i]);
    glass.closeSubpath();
    p.fillPath(glass, QColor(0x24, 0x32, 0x58));
    if (aperture > 0.3) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x5E, 0x77, 0xB0));
        p.drawEllipse(kLens + QPointF(-hole * 0.32, -hole * 0.36), hole * 0.22, hole * 0.15);
        p.setBrush(Ink::white);
        p.drawEllipse(kLens + QPointF(-hole * 0.38, -hole * 0.4), hole * 0.09, hole * 0.07);
    }
    p.setPen(QPen(QColor(0x48, 0x42, 0x60), 2.5, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 6; ++i) {
        const QPointF from = corner[i];
        const QPointF side = corner[i] - corner[(i + 5) % 6];
        const double len = std::hypot(side.x(), side.y());
        const QPointF dir = len > 0 ? side / len : QPointF(1, 0);
        p.drawLine(from, from + dir * (2 * r));
    }
    p.restore();
}

void drawCamera(QPainter& p, const Pose& pose)
{
    const QPen outline(Ink::outline, 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    // Shutter button and viewfinder first: the body covers their lower halves.
    const double buttonDrop = pose.pressed ? 9 : 0;
    p.setPen(outline);
    p.setBrush(Ink::gold);
    p.drawRoundedRect(QRectF(392, 78 + buttonDrop, 46, 30), 8, 8);
    p.setBrush(Ink::coral);
    p.drawRoundedRect(QRectF(230, 70, 82, 40), 12, 12);
    p.setBrush(QColor(0x9E, 0xD8, 0xF0));
    p.drawRoundedRect(QRectF(252, 80, 38, 16), 5, 5);

    const QRectF bodyRect(164, 96, 312, 232);
    QPainterPath body;
    body.addRoundedRect(bodyRect, 42, 42);
    p.fillPath(body, Ink::coral);
    p.save();
    p.setClipPath(body);
    p.fillRect(QRectF(164, 96, 312, 40), Ink::coralLight);
    p.fillRect(QRectF(164, 300, 312, 28), QColor(0xE8, 0x72, 0x5C));
    p.restore();
    p.strokePath(body, outline);

    // Flash window; lit and throwing rays on the click.
    p.setPen(QPen(Ink::outline, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(pose.flash ? Ink::white : Ink::goldLight);
    p.drawRoundedRect(QRectF(188, 114, 48, 28), 8, 8);

    // Lens rings, with six studs that turn with the iris.
    p.setPen(Qt::NoPen);
    p.setBrush(Ink::outline);
    p.drawEllipse(kLens, 92, 92);
    p.setBrush(QColor(0xDC, 0xDF, 0xEA));
    p.drawEllipse(kLens, 85, 85);
    p.setBrush(QColor(0xB9, 0xBD, 0xCD));
    for (int i = 0; i < 6; ++i) {
        const double a = (pose.turn + 30 + i * 60.0) * kPi / 180.0;
        p.drawEllipse(kLens + QPointF(76 * std::cos(a), 76 * std::sin(a)), 4, 4);
    }
    p.setBrush(Ink::outline);
    p.drawEllipse(kLens, 68, 68);
    drawIris(p, pose.aperture, pose.turn);

    // Face: eyes beside the lens, rosy cheeks, a smile under it.
    const std::array<QPointF, 2> eyes{QPointF(198, 204), QPointF(442, 204)};
    for (const QPointF& e : eyes) {
        if (pose.blink) {
            QPainterPath lid;
            lid.arcMoveTo(QRectF(e.x() - 10, e.y() - 8, 20, 16), 180);
            lid.arcTo(QRectF(e.x() - 10, e.y() - 8, 20, 16), 180, 180);
            p.strokePath(lid, QPen(Ink::outline, 5, Qt::SolidLine, Qt::RoundCap));
        } else {
            p.setPen(Qt::NoPen);
            p.setBrush(Ink::outline);
            p.drawEllipse(e, 9, 13);
            p.setBrush(Ink::white);
            p.drawEllipse(e + QPointF(-3, -5), 3.5, 3.5);
        }
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xFF, 0xA8, 0xB4));
        p.drawEllipse(e + QPointF(0, 34), 15, 8);
    }
    QPainterPath smile;
    const QRectF mouth(296, 284, 48, 26);
    smile.arcMoveTo(mouth, 200);
    smile.arcTo(mouth, 200, 140);
    p.strokePath(smile, QPen(Ink::outline, 5, Qt::SolidLine, Qt::RoundCap));

    if (pose.flash) {
        const QPointF c(212, 128);
        p.setPen(QPen(Ink::gold, 7, Qt::SolidLine, Qt::RoundCap));
        // Rays fan out up and to the left, away from the lens.
        for (int i = 0; i < 6; ++i) {
            const double a = (190 + i * 22) * kPi / 180.0;
            const double len = (i % 2 == 0) ? 44 : 30;
            const QPointF dir(std::cos(a), std::sin(a));
            p.drawLine(c + dir * 42, c + dir * (42 + len));
        }
    }
}

void drawTitle(QPainter& p, double t)
{
    const char* word = "PARVEL";
    const std::array<QColor, 6> colours{QColor(0xFF, 0x6B, 0x6B), QColor(0xFF, 0xA9, 0x3D),
                                        QColor(0xF5, 0xD0, 0x2E), QColor(0x5C, 0xC8, 0x6A),
                                        QColor(0x45, 0xA8, 0xF0), QColor(0xA4, 0x6B, 0xF0)};
    const double height = 54, gap = 20;
    double total = -gap;
    for (const char* c = word; *c; ++c)
        total += letterWidth(*c, height) + gap;
    double x = (kWidth - total) / 2;
    for (int i = 0; word[i]; ++i) {
        // Letters hop one after another like a wave.
        const double s = std::sin(2 * kPi * (t - i / 6.0));
        const double hop = s > 0 ? 12 * s : 0;
        const QPainterPath path = letterPath(word[i], QPointF(x, 374 - hop), height);
        strokeOutlined(p, path, colours[i], 9, Ink::outline, 17);
        x += letterWidth(word[i], height) + gap;
    }
}

void drawTwinkles(QPainter& p, double t, bool flash)
{
    for (const Twinkle& tw : kTwinkles) {
        const double s = std::sin(2 * kPi * (t + tw.phase));
        double scale = 0.55 + 0.45 * s;
        if (flash)
            scale = 1.15;
        if (scale < 0.2)
            continue;
        fillOutlined(p, SparklePath(tw.at, tw.radius * scale), Ink::gold, Ink::outline, 3);
    }
}

QImage drawFrame(const Pose& pose, double t)
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    QPainter p;
    beginPainting(p, image);
    drawBackground(p);
    drawTwinkles(p, t, pose.flash);
    drawCamera(p, pose);
    drawTitle(p, t);
    p.end();
    return image;
}

} // namespace

Animation welcomeAnimation()
{
    Animation animation;
    for (std::size_t i = 0; i < kPoses.size(); ++i)
        animation.add(drawFrame(kPoses[i], double(i) / kPoses.size()), kPoses[i].delay);
    return animation;
}
