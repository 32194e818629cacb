#pragma once

#include <QColor>
#include <QPainterPath>
#include <QPointF>

#include <functional>

// The house colours and shapes of the program's own art: the shipped pictures (welcome
// animation, logo, sample frames and stickers) and the button icons are drawn from them, so the
// buttons look like the pictures they control.
namespace HouseInk {
inline const QColor outline { 0x3B, 0x2F, 0x4A };
inline const QColor coral { 0xF7, 0x87, 0x6F };
inline const QColor coralLight { 0xFA, 0xA5, 0x8F };
inline const QColor coralDark { 0xE8, 0x72, 0x5C };
inline const QColor gold { 0xFF, 0xD4, 0x4D };
inline const QColor goldLight { 0xFF, 0xF1, 0xA8 };
inline const QColor pink { 0xFF, 0x8F, 0xAB };
inline const QColor red { 0xF2, 0x4B, 0x5E };
inline const QColor white { 0xFF, 0xFF, 0xFF };
inline const QColor sky { 0xCD, 0xEB, 0xFA };
inline const QColor skyMid { 0x9E, 0xD8, 0xF0 };
inline const QColor blue { 0x45, 0xA8, 0xF0 };
inline const QColor green { 0x5C, 0xC8, 0x6A };
inline const QColor violet { 0xA4, 0x6B, 0xF0 };
inline const QColor orange { 0xFF, 0xA9, 0x3D };
inline const QColor ring { 0xDC, 0xDF, 0xEA };
inline const QColor grey { 0xB9, 0xBD, 0xCD };
inline const QColor glass { 0x24, 0x32, 0x58 };
inline const QColor night { 0x2A, 0x2F, 0x5A };
} // namespace HouseInk

double Radians(double degrees);
// A closed outline through `count` points around centre: point i lies radiusOf(i) away, at
// firstDegrees + i · 360 / count degrees (clockwise on the screen, from the x axis).
QPainterPath RadialPath(QPointF centre, int count, double firstDegrees, const std::function<double(int)>& radiusOf);
QPainterPath StarPath(QPointF centre, double outerRadius, double innerRadius, int points, double rotationDegrees);
QPainterPath HeartPath(QPointF centre, double width);
// Four-pointed twinkle with curved sides; `waist` is how far the sides bow in (share of radius).
QPainterPath SparklePath(QPointF centre, double radius, double waist = 0.14);
