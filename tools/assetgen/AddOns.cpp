#include "tools/assetgen/Assets.h"
#include "tools/assetgen/Shapes.h"

#include <QPen>

// The still add-ons: small stickers with a dark outline on a transparent ground.

namespace {

QPainterPath circle(QPointF centre, double radius)
{
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return path;
}

void smile(QPainter& p, QPointF centre, double width, double penWidth)
{
    QPainterPath mouth;
    const QRectF box(centre.x() - width / 2, centre.y() - width * 0.35, width, width * 0.7);
    mouth.arcMoveTo(box, 205);
    mouth.arcTo(box, 205, 130);
    p.strokePath(mouth, QPen(Ink::outline, penWidth, Qt::SolidLine, Qt::RoundCap));
}

} // namespace

QImage starAddOn()
{
    QImage image = blankImage(100, 100);
    QPainter p;
    beginPainting(p, image);
    const QPointF c(50, 53);
    QPainterPath star = StarPath(c, 45, 22, 5, 0);
    fillOutlined(p, star, Ink::gold, Ink::outline, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink::goldLight);
    p.drawEllipse(c + QPointF(-15, -16), 6, 4);
    p.setBrush(Ink::outline);
    p.drawEllipse(c + QPointF(-9, 0), 3.2, 4.5);
    p.drawEllipse(c + QPointF(9, 0), 3.2, 4.5);
    p.setBrush(QColor(0xFF, 0xA8, 0xB4));
    p.drawEllipse(c + QPointF(-16, 8), 4.5, 2.6);
    p.drawEllipse(c + QPointF(16, 8), 4.5, 2.6);
    smile(p, c + QPointF(0, 8), 14, 3);
    p.end();
    return image;
}

QImage heartAddOn()
{
    QImage image = blankImage(96, 88);
    QPainter p;
    beginPainting(p, image);
    const QPointF c(48, 46);
    fillOutlined(p, HeartPath(c, 86), Ink::red, Ink::outline, 5);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xB3, 0xBE));
    p.save();
    p.translate(c + QPointF(-20, -16));
    p.rotate(-35);
    p.drawEllipse(QPointF(0, 0), 9, 5.5);
    p.restore();
    p.end();
    return image;
}

QImage sunglassesAddOn()
{
    QImage image = blankImage(160, 64);
    QPainter p;
    beginPainting(p, image);
    const QPen frame(Ink::outline, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    // Temples and bridge first; the lenses sit on top of them.
    p.strokePath([] {
        QPainterPath arms;
        arms.moveTo(4, 16);
        arms.lineTo(20, 14);
        arms.moveTo(156, 16);
        arms.lineTo(140, 14);
        arms.moveTo(70, 20);
        arms.quadTo(80, 12, 90, 20);
        return arms;
    }(), frame);
    for (double x : {18.0, 88.0}) {
        QPainterPath lens;
        lens.moveTo(x, 12);
        lens.lineTo(x + 54, 12);
        lens.cubicTo(x + 56, 34, x + 48, 54, x + 28, 54);
        lens.cubicTo(x + 8, 54, x - 2, 34, x, 12);
        lens.closeSubpath();
        fillOutlined(p, lens, QColor(0x24, 0x20, 0x33), Ink::outline, 5);
        p.save();
        p.setClipPath(lens);
        p.setPen(QPen(QColor(0x6E, 0x7F, 0xB8), 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x + 10, 44), QPointF(x + 30, 16));
        p.setPen(QPen(QColor(0x6E, 0x7F, 0xB8), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x + 22, 48), QPointF(x + 40, 22));
        p.restore();
    }
    p.end();
    return image;
}

QImage crownAddOn()
{
    QImage image = blankImage(128, 96);
    QPainter p;
    beginPainting(p, image);
    QPainterPath crown;
    crown.moveTo(16, 82);
    crown.lineTo(10, 30);
    crown.lineTo(38, 52);
    crown.lineTo(64, 20);
    crown.lineTo(90, 52);
    crown.lineTo(118, 30);
    crown.lineTo(112, 82);
    crown.closeSubpath();
    for (QPointF tip : {QPointF(10, 26), QPointF(64, 15), QPointF(118, 26)})
        fillOutlined(p, circle(tip, 7), Ink::gold, Ink::outline, 4);
    fillOutlined(p, crown, Ink::gold, Ink::outline, 5);
    QPainterPath band;
    band.addRoundedRect(QRectF(14, 66, 100, 20), 5, 5);
    fillOutlined(p, band, QColor(0xF2, 0xB8, 0x2E), Ink::outline, 4);
    fillOutlined(p, circle({40, 76}, 5), QColor(0x45, 0xA8, 0xF0), Ink::outline, 2.5);
    fillOutlined(p, circle({64, 76}, 6.5), Ink::red, Ink::outline, 2.5);
    fillOutlined(p, circle({88, 76}, 5), QColor(0x5C, 0xC8, 0x6A), Ink::outline, 2.5);
    fillOutlined(p, StarPath({64, 46}, 9, 4, 5, 0), Ink::white, Ink::outline, 0);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink::goldLight);
    p.drawEllipse(QPointF(24, 50), 3, 7);
    p.end();
    return image;
}

QImage speechAddOn()
{
    QImage image = blankImage(144, 108);
    QPainter p;
    beginPainting(p, image);
    QPainterPath bubble;
    bubble.addRoundedRect(QRectF(6, 6, 132, 74), 26, 26);
    QPainterPath tail;
    tail.moveTo(34, 70);
    tail.lineTo(22, 102);
    tail.lineTo(62, 74);
    tail.closeSubpath();
    fillOutlined(p, bubble.united(tail), Ink::white, Ink::outline, 5);
    fillOutlined(p, circle({46, 43}, 8), Ink::pink, Ink::outline, 0);
    fillOutlined(p, circle({72, 43}, 8), Ink::gold, Ink::outline, 0);
    fillOutlined(p, circle({98, 43}, 8), QColor(0x45, 0xA8, 0xF0), Ink::outline, 0);
    p.end();
    return image;
}
