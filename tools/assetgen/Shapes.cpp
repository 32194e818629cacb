#include "tools/assetgen/Shapes.h"

#include <QPen>
#include <cmath>
#include <numbers>

namespace {
constexpr double kPi = std::numbers::pi;
} // namespace

QImage blankImage(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

void beginPainting(QPainter& painter, QImage& image)
{
    painter.begin(&image);
    painter.setRenderHint(QPainter::Antialiasing, true);
}

QPainterPath flowerPath(QPointF centre, double radius, double rotationDegrees)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    const double petal = radius * 0.42;
    for (int i = 0; i < 5; ++i) {
        const double a = Radians(rotationDegrees - 90.0 + i * 72.0);
        const QPointF c = centre + QPointF((radius - petal) * std::cos(a), (radius - petal) * std::sin(a));
        path.addEllipse(c, petal, petal);
    }
    return path;
}

double letterWidth(char letter, double height)
{
    switch (letter) {
    case 'A':
    case 'V':
        return 0.78 * height;
    case 'R':
        return 0.62 * height;
    case 'P':
        return 0.58 * height;
    case 'E':
        return 0.55 * height;
    case 'L':
        return 0.5 * height;
    default:
        return 0.6 * height;
    }
}

QPainterPath letterPath(char letter, QPointF topLeft, double height)
{
    const double h = height;
    const double w = letterWidth(letter, height);
    auto at = [&](double x, double y) { return topLeft + QPointF(x, y); };
    QPainterPath path;
    // The bowl of P and R: a half circle on the right of the upper part.
    auto bowl = [&]() {
        const double r = 0.27 * h;
        path.moveTo(at(0, h));
        path.lineTo(at(0, 0));
        path.lineTo(at(w - r, 0));
        path.arcTo(QRectF(at(w - 2 * r, 0), QSizeF(2 * r, 2 * r)), 90, -180);
        path.lineTo(at(0, 2 * r));
    };
    switch (letter) {
    case 'P':
        bowl();
        break;
    case 'R':
        bowl();
        path.moveTo(at(0.42 * w, 0.54 * h));
        path.lineTo(at(w, h));
        break;
    case 'A':
        path.moveTo(at(0, h));
        path.lineTo(at(w / 2, 0));
        path.lineTo(at(w, h));
        path.moveTo(at(0.22 * w, 0.64 * h));
        path.lineTo(at(0.78 * w, 0.64 * h));
        break;
    case 'V':
        path.moveTo(at(0, 0));
        path.lineTo(at(w / 2, h));
        path.lineTo(at(w, 0));
        break;
    case 'E':
        path.moveTo(at(w, 0));
        path.lineTo(at(0, 0));
        path.lineTo(at(0, h));
        path.lineTo(at(w, h));
        path.moveTo(at(0, h / 2));
        path.lineTo(at(0.8 * w, h / 2));
        break;
    case 'L':
        path.moveTo(at(0, 0));
        path.lineTo(at(0, h));
        path.lineTo(at(w, h));
        break;
    default:
        path.addRect(QRectF(at(0, 0), QSizeF(w, h)));
        break;
    }
    return path;
}

void fillOutlined(QPainter& painter, const QPainterPath& path, const QColor& fill,
                  const QColor& outline, double outlineWidth)
{
    painter.fillPath(path, fill);
    if (outlineWidth > 0) {
        painter.strokePath(path, QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    }
}

void strokeOutlined(QPainter& painter, const QPainterPath& path, const QColor& colour,
                    double width, const QColor& outline, double outlineWidth)
{
    painter.strokePath(path, QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.strokePath(path, QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}
