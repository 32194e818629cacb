#include "tools/assetgen/Assets.h"
#include "tools/assetgen/Shapes.h"

#include <QPen>
#include <cmath>
#include <numbers>

// The animated big frames. Each loops without a jump: whatever moves has moved by exactly
// one repeat of its pattern when the last frame hands over to the first.

namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kWidth = 640;
constexpr int kHeight = 480;

QColor mix(const QColor& a, const QColor& b, double t)
{
    return QColor(int(a.red() + (b.red() - a.red()) * t), int(a.green() + (b.green() - a.green()) * t),
                  int(a.blue() + (b.blue() - a.blue()) * t));
}

QPainterPath borderOutside(const QRectF& window, double radius)
{
    QPainterPath all;
    all.addRect(QRectF(0, 0, kWidth, kHeight));
    QPainterPath hole;
    hole.addRoundedRect(window, radius, radius);
    return all.subtracted(hole);
}

QImage drawNight(int frame, int frames)
{
    const QRectF window(32, 32, kWidth - 64, kHeight - 64);
    QImage image = blankImage(kWidth, kHeight);
    QPainter p;
    beginPainting(p, image);
    p.fillPath(borderOutside(window, 22), QColor(0x23, 0x2A, 0x5C));
    QPainterPath edge;
    edge.addRoundedRect(window, 22, 22);
    p.strokePath(edge, QPen(Ink::gold, 3));

    // Faint far stars that do not move.
    Lcg lcg(777u);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x9C, 0xA6, 0xD8));
    for (int i = 0; i < 60; ++i) {
        const QPointF c(lcg.uniform(3, kWidth - 3), lcg.uniform(3, kHeight - 3));
        if (window.adjusted(-4, -4, 4, 4).contains(c))
            continue;
        p.drawEllipse(c, 1.3, 1.3);
    }

    // Twinkling stars along the middle of the border, each on its own beat.
    std::vector<QPointF> spots;
    for (double x = 30; x <= kWidth - 30; x += 58) {
        spots.push_back({x, 16});
        spots.push_back({x, kHeight - 16});
    }
    for (double y = 74; y <= kHeight - 74; y += 56) {
        spots.push_back({16, y});
        spots.push_back({kWidth - 16, y});
    }
    const QColor dim(0xB0, 0x9A, 0x3C), bright(0xFF, 0xF4, 0xA6);
    for (std::size_t i = 0; i < spots.size(); ++i) {
        const double phase = std::fmod(i * 0.381966, 1.0);
        const double s = 0.5 + 0.5 * std::cos(2 * kPi * (double(frame) / frames + phase));
        const double r = 5.5 + 6.5 * s;
        p.fillPath(StarPath(spots[i], r, r * 0.45, 5, 0), mix(dim, bright, s));
        if (s > 0.8) {
            p.setPen(QPen(Ink::white, 1.6, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(spots[i] + QPointF(-r - 5, 0), spots[i] + QPointF(r + 5, 0));
            p.drawLine(spots[i] + QPointF(0, -r - 5), spots[i] + QPointF(0, r + 5));
            p.setPen(Qt::NoPen);
        }
    }
    p.end();
    return image;
}

QPainterPath wave(double baseline, double amplitude, double wavelength, double shift)
{
    QPainterPath path;
    path.moveTo(0, kHeight);
    for (int x = 0; x <= kWidth; x += 4)
        path.lineTo(x, baseline + amplitude * std::sin(2 * kPi * (x + shift) / wavelength));
    path.lineTo(kWidth, kHeight);
    path.closeSubpath();
    return path;
}

QImage drawSea(int frame, int frames)
{
    const QRectF window(22, 22, kWidth - 44, kHeight - 44);
    QImage image = blankImage(kWidth, kHeight);
    QPainter p;
    beginPainting(p, image);
    p.fillPath(borderOutside(window, 20), QColor(0x3F, 0xA9, 0xD0));
    QPainterPath edge;
    edge.addRoundedRect(window, 20, 20);
    p.strokePath(edge, QPen(QColor(0xA8, 0xE4, 0xF5), 3));

    const double t = double(frame) / frames;
    const QPainterPath back = wave(432, 7, 106.667, t * 106.667);
    const QPainterPath front = wave(448, 6, 80, -t * 80);
    p.fillPath(back, QColor(0x2E, 0x8F, 0xB8));
    p.strokePath(back, QPen(QColor(0xDF, 0xF6, 0xFC), 3));
    p.fillPath(front, QColor(0x1F, 0x6F, 0x9A));
    p.strokePath(front, QPen(QColor(0xB4, 0xE8, 0xF6), 3));

    // Columns of bubbles rising; each column moves by one spacing over the loop.
    struct Column {
        double x, radius, spacing, offset;
    };
    const Column columns[] = {{12, 7, 72, 0}, {38, 11, 108, 40}, {628, 8, 84, 22}, {600, 12, 120, 70},
                              {200, 6, 160, 10}, {452, 7, 160, 90}};
    for (const Column& c : columns) {
        const bool risesInSide = c.x < 60 || c.x > kWidth - 60;
        const double top = risesInSide ? -c.radius : 426;
        const double bottom = kHeight + c.radius;
        const int count = int(std::ceil((bottom - top) / c.spacing));
        const double period = count * c.spacing;
        for (int k = 0; k < count; ++k) {
            const double travelled = std::fmod(c.offset + k * c.spacing + t * c.spacing, period);
            const double y = bottom - travelled;
            if (y < top)
                continue;
            const QPointF centre(c.x + 3 * std::sin(y / 23.0), y);
            p.setPen(QPen(QColor(0xF4, 0xFC, 0xFF), 2.5));
            p.setBrush(QColor(0xC6, 0xEE, 0xF9));
            p.drawEllipse(centre, c.radius, c.radius);
            p.setPen(Qt::NoPen);
            p.setBrush(Ink::white);
            p.drawEllipse(centre + QPointF(-c.radius * 0.35, -c.radius * 0.35), c.radius * 0.28,
                          c.radius * 0.28);
        }
    }
    p.end();
    return image;
}

} // namespace

Animation starsFrame()
{
    constexpr int frames = 6;
    constexpr int delays[frames] = {18, 14, 14, 18, 14, 14};
    Animation animation;
    for (int f = 0; f < frames; ++f)
        animation.add(drawNight(f, frames), delays[f]);
    return animation;
}

Animation bubblesFrame()
{
    constexpr int frames = 8;
    Animation animation;
    for (int f = 0; f < frames; ++f)
        animation.add(drawSea(f, frames), 10);
    return animation;
}
