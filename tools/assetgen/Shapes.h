#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <cstdint>

#include "ui/ArtShapes.h"

// Shared drawing helpers of the asset generator: the shapes the images are made of, the
// house colours, and a seeded generator so that "random" details come out the same
// on every run.

namespace Ink = HouseInk;

// Numerical Recipes LCG: small, fixed and the same everywhere.
class Lcg {
public:
    explicit Lcg(std::uint32_t seed) : state_(seed) {}
    std::uint32_t next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_ >> 8;
    }
    // Uniform in [lo, hi).
    double uniform(double lo, double hi) { return lo + (hi - lo) * (next() / double(1u << 24)); }

private:
    std::uint32_t state_;
};

// A fully transparent image to paint on.
QImage blankImage(int width, int height);
// An antialiasing painter on the image.
void beginPainting(QPainter& painter, QImage& image);

// Five round petals around a centre.
QPainterPath flowerPath(QPointF centre, double radius, double rotationDegrees);

// Stroke-drawn capitals (P, A, R, V, E, L) in a box of the given height; stroke them with a
// round-capped pen. letterWidth is the advance without spacing.
double letterWidth(char letter, double height);
QPainterPath letterPath(char letter, QPointF topLeft, double height);

// Fill, then a round-joined outline on top.
void fillOutlined(QPainter& painter, const QPainterPath& path, const QColor& fill,
                  const QColor& outline, double outlineWidth);
// Stroke twice: a wide outline pen under a narrower colour pen.
void strokeOutlined(QPainter& painter, const QPainterPath& path, const QColor& colour,
                    double width, const QColor& outline, double outlineWidth);
