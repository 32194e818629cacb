#include "app/ribbon/FunIcons.h"

#include "app/ribbon/IconBadges.h"
#include "app/ribbon/IconCanvas.h"
#include "app/ribbon/IconMotifs.h"

#include <opencv2/imgproc.hpp>

using namespace IconArt;
using namespace IconInk;

namespace {

const QRectF kPictureRect(3, 4, 26, 24);

// The plain picture at the canvas's size, as an image of its own.
QImage PlainPicture(int pixels, bool face)
{
    IconCanvas plain(pixels);
    Scene(plain, kPictureRect);
    if (face)
        Face(plain);
    return plain.take().convertToFormat(QImage::Format_ARGB32);
}

} // namespace

void FunEffectPicture(IconCanvas& c, FunEffect effect)
{
    QImage image = PlainPicture(c.pixels(), effect == kFunBigHead || effect == kFunThinFace);
    // ARGB32 lies in memory as blue, green, red, alpha: the effect runs on the colours, and the
    // picture keeps its outline's transparency.
    cv::Mat bgra(image.height(), image.width(), CV_8UC4, image.bits(), static_cast<size_t>(image.bytesPerLine()));
    cv::Mat bgr;
    cv::cvtColor(bgra, bgr, cv::COLOR_BGRA2BGR);
    FunEffectState state(7); // a fixed seed: the old film draws the same every time
    ApplyFunEffect(bgr, effect, state, std::nullopt, 5);
    cv::Mat alpha;
    cv::extractChannel(bgra, alpha, 3);
    const cv::Mat parts[] = { bgr, alpha };
    const int fromTo[] = { 0, 0, 1, 1, 2, 2, 3, 3 };
    cv::mixChannels(parts, 2, &bgra, 1, fromTo, 4);
    c.painter().drawImage(QRectF(0, 0, 32, 32), image);
    if (effect == kFunNone)
        UndoBadge(c);
}

void FunPreviewPicture(IconCanvas& c, int step)
{
    c.fill(RoundRect(QRectF(2, 3, 28, 26), 2.5), outline);
    const double cell = 8;
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            const QRectF tile(3.5 + column * (cell + 1), 4.5 + row * (cell + 0.5), cell, cell - 0.5);
            const bool middle = row == 1 && column == 1;
            const QColor colours[] = { coral, gold, green, pink, sky, orange, skyMid, blue };
            const int i = row * 3 + column - (row * 3 + column > 4 ? 1 : 0);
            c.flat(Rect(tile), middle ? white : colours[i % 8]);
        }
    if (step != 0) {
        const double x = step < 0 ? 8 : 24;
        const double d = step < 0 ? -1 : 1;
        c.fill(Polygon({ QPointF(x - 5 * d, 10), QPointF(x + 4 * d, 17), QPointF(x - 5 * d, 24) }), white);
    }
}
