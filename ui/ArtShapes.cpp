#include "ui/ArtShapes.h"

#include <cmath>
#include <numbers>

double Radians(double degrees)
{
    return degrees * std::numbers::pi / 180.0;
}

QPainterPath RadialPath(QPointF centre, int count, double firstDegrees, const std::function<double(int)>& radiusOf)
{
    QPainterPath path;
    for (int i = 0; i < count; ++i) {
        const double r = radiusOf(i);
        const double a = Radians(firstDegrees + i * 360.0 / count);
        const QPointF p = centre + QPointF(r * std::cos(a), r * std::sin(a));
        if (i == 0)
            path.moveTo(p);
        else
            path.lineTo(p);
    }
    path.closeSubpath();
    return path;
}

QPainterPath StarPath(QPointF centre, double outerRadius, double innerRadius, int points, double rotationDegrees)
{
    return RadialPath(centre, 2 * points, rotationDegrees - 90.0,
        [&](int i) { return (i % 2 == 0) ? outerRadius : innerRadius; });
}

QPainterPath HeartPath(QPointF centre, double width)
{
    const double s = width / 2.0;
    auto at = [&](double x, double y) { return centre + QPointF(x * s, y * s); };
    QPainterPath path;
    path.moveTo(at(0, 0.9));
    path.cubicTo(at(-0.5, 0.5), at(-1.0, 0.15), at(-1.0, -0.3));
    path.cubicTo(at(-1.0, -0.75), at(-0.4, -1.0), at(0, -0.55));
    path.cubicTo(at(0.4, -1.0), at(1.0, -0.75), at(1.0, -0.3));
    path.cubicTo(at(1.0, 0.15), at(0.5, 0.5), at(0, 0.9));
    path.closeSubpath();
    return path;
}

QPainterPath SparklePath(QPointF centre, double radius, double waist)
{
    const double k = waist * radius;
    QPainterPath path;
    path.moveTo(centre + QPointF(0, -radius));
    path.quadTo(centre + QPointF(k, -k), centre + QPointF(radius, 0));
    path.quadTo(centre + QPointF(k, k), centre + QPointF(0, radius));
    path.quadTo(centre + QPointF(-k, k), centre + QPointF(-radius, 0));
    path.quadTo(centre + QPointF(-k, -k), centre + QPointF(0, -radius));
    path.closeSubpath();
    return path;
}
