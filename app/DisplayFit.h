#pragma once

#include <QRect>
#include <QSize>

// The largest rectangle of the picture's proportions that fits into area, centred in it. Never
// smaller than 1 × 1, so the scales derived from it stay finite.
QRect FitPictureRect(QSize picture, QRect area);
