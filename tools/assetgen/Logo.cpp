#include "tools/assetgen/Assets.h"
#include "tools/assetgen/Shapes.h"

#include <QPen>

// The corner mark: a small lens with a P in it and the word PARVEL, on a frosted pill
// that keeps it readable over any picture.
QImage logoImage()
{
    QImage image = blankImage(124, 40);
    QPainter p;
    beginPainting(p, image);

    QPainterPath pill;
    pill.addRoundedRect(QRectF(1.5, 1.5, 121, 37), 18.5, 18.5);
    p.fillPath(pill, QColor(255, 255, 255, 170));
    p.strokePath(pill, QPen(QColor(0x3B, 0x2F, 0x4A, 190), 2));

    const QPointF lens(20, 20);
    p.setPen(Qt::NoPen);
    p.setBrush(Ink::outline);
    p.drawEllipse(lens, 15, 15);
    p.setBrush(Ink::coral);
    p.drawEllipse(lens, 12, 12);
    const QPainterPath pLetter = letterPath('P', lens + QPointF(-5, -9), 18);
    p.strokePath(pLetter, QPen(Ink::white, 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));

    const char* word = "PARVEL";
    const double height = 14, gap = 3.2;
    double x = 43;
    for (const char* c = word; *c; ++c) {
        p.strokePath(letterPath(*c, QPointF(x, 13), height),
                     QPen(Ink::outline, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        x += letterWidth(*c, height) + gap;
    }
    p.end();
    return image;
}
