#include "app/ribbon/ColourIcons.h"

#include "app/Looks.h"
#include "app/commands/CommandId.h"

#include <QConicalGradient>
#include <QLinearGradient>

#include <array>
#include <cmath>
#include <numbers>
#include <utility>

namespace IconArt {

using namespace IconInk;

namespace {

constexpr double kPi = std::numbers::pi;

void ChannelDigit(IconCanvas& c, int channel)
{
    const QRectF box = c.small() ? QRectF(20, 16, 9, 13) : QRectF(21, 17, 7, 11.5);
    c.strokeOutlined(Digit(channel, box), blue, c.small() ? 2.6 : 2.2);
}

QConicalGradient HueWheel(QPointF centre)
{
    QConicalGradient g(centre, 0);
    for (int i = 0; i <= 6; ++i)
        g.setColorAt(i / 6.0, QColor::fromHsv((i * 60) % 360, 230, 255));
    return g;
}

void ColourBar(IconCanvas& c, const QColor& colour)
{
    const QRectF bar = c.small() ? QRectF(2, 24.5, 28, 6) : QRectF(2.5, 25.5, 27, 5);
    c.fill(RoundRect(bar, 1), colour);
}

} // namespace

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

} // namespace IconArt
