#pragma once

#include "pipeline/faces/FaceTracks.h"

#include <QFont>
#include <QRect>
#include <QString>

#include <chrono>
#include <vector>

class QPainter;
class QVariantAnimation;
class QWidget;

// What the image area draws over the picture on the screen only, never into a photo or a
// recording: the delayed photo's seconds, the recording's red dot and time, the face boxes.

// "mm:ss", or "h:mm:ss" from an hour on.
QString ElapsedText(std::chrono::steady_clock::duration elapsed);

// A red dot and the time recorded so far at the top left of area.
void PaintRecordingBadge(QPainter& painter, const QRect& area, const QFont& base,
    std::chrono::steady_clock::duration elapsed);
// The same dot for an animated GIF being collected, with how much of it is taken: "GIF 00:01 / 00:03".
void PaintGifBadge(QPainter& painter, const QRect& area, const QFont& base, std::chrono::steady_clock::duration taken,
    std::chrono::steady_clock::duration wanted);

// The tracked faces' boxes (picture pixels, scaled down by scaleX and scaleY) with their numbers.
void PaintFaceBoxes(QPainter& painter, const std::vector<TrackedFace>& faces, float scaleX, float scaleY);

// A labelled tile of the preview grid (screen pixels).
struct TileLabel {
    QRect tile;
    QString text;
};

// Each tile's label on a dark band along its bottom edge.
void PaintTileLabels(QPainter& painter, const std::vector<TileLabel>& labels, const QFont& base);

// The preview grid's page control at the top right of the area: a back and a next button either
// side of the page ("2 / 3"), on a dark backing that reads over any picture.
struct PagerLayout {
    QRect back;
    QRect page;
    QRect next;
    QRect backing; // all of it: a click anywhere on it is the control's, never the tile's beneath
};
enum class PagerPart { None, Back, Page, Next };

PagerLayout LayOutPager(const QRect& area, const QFont& base);
PagerPart PagerPartAt(const PagerLayout& layout, QPoint point);
// hovered and pressed light up their button.
void PaintPager(QPainter& painter, const PagerLayout& layout, const QFont& base, int page, int pages,
    PagerPart hovered, PagerPart pressed);

// The countdown's digits, large in the middle of the area; the font is sized once per area and
// number of digits, not on every frame.
class CountdownPainter {
public:
    void Paint(QPainter& painter, const QRect& area, const QFont& base, int seconds);
    // The same with a line of text in big letters above the digits.
    void Paint(QPainter& painter, const QRect& area, const QFont& base, int seconds, const QString& caption);

private:
    QFont font_;
    QSize fontArea_;
    qsizetype fontDigits_ = 0;
};

// A short white flash over the whole area that fades out, when a photo is taken; it asks its
// widget to repaint as it fades.
class ScreenFlash {
public:
    explicit ScreenFlash(QWidget* widget);
    void Start();
    bool active() const { return opacity_ > 0.0; }
    void Paint(QPainter& painter, const QRect& area) const;

private:
    QVariantAnimation* fade_ = nullptr; // owned by the widget
    double opacity_ = 0.0;
};
