#include "pipeline/compose/ScreenMarks.h"

#include <QFontMetrics>
#include <QPainter>
#include <QVariantAnimation>
#include <QWidget>

#include <algorithm>

namespace {

// The flash starts at this share of white and fades out over the duration.
constexpr double kFlashStartOpacity = 0.85;
constexpr int kFlashMs = 200;

// A dark shadow keeps white text readable on a bright picture.
void DrawShadowedText(QPainter& painter, const QRect& rect, int flags, const QString& text, int offset)
{
    painter.setPen(QColor(0, 0, 0, 160));
    painter.drawText(rect.translated(offset, offset), flags, text);
    painter.setPen(Qt::white);
    painter.drawText(rect, flags, text);
}

} // namespace

QString ElapsedText(std::chrono::steady_clock::duration elapsed)
{
    const auto total = std::max<long long>(std::chrono::duration_cast<std::chrono::seconds>(elapsed).count(), 0);
    const long long hours = total / 3600;
    const QString minutesSeconds = QStringLiteral("%1:%2")
                                       .arg((total / 60) % 60, 2, 10, QLatin1Char('0'))
                                       .arg(total % 60, 2, 10, QLatin1Char('0'));
    return hours > 0 ? QStringLiteral("%1:").arg(hours) + minutesSeconds : minutesSeconds;
}

namespace {

void PaintRedDotBadge(QPainter& painter, const QRect& area, const QFont& base, const QString& text)
{
    const int dot = std::clamp(area.height() / 24, 8, 24);
    const int margin = dot;
    QFont badgeFont = base;
    badgeFont.setBold(true);
    badgeFont.setPixelSize(dot * 3 / 2);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(220, 0, 0));
    painter.drawEllipse(QRect(area.left() + margin, area.top() + margin, dot, dot));
    painter.setFont(badgeFont);
    const QRect textRect(area.left() + margin + dot * 3 / 2, area.top() + margin - dot, area.width(), dot * 3);
    DrawShadowedText(painter, textRect, Qt::AlignLeft | Qt::AlignVCenter, text, 1);
    painter.restore();
}

} // namespace

void PaintRecordingBadge(QPainter& painter, const QRect& area, const QFont& base,
    std::chrono::steady_clock::duration elapsed)
{
    PaintRedDotBadge(painter, area, base, ElapsedText(elapsed));
}

void PaintGifBadge(QPainter& painter, const QRect& area, const QFont& base, std::chrono::steady_clock::duration taken,
    std::chrono::steady_clock::duration wanted)
{
    PaintRedDotBadge(painter, area, base,
        QStringLiteral("GIF %1 / %2").arg(ElapsedText(std::min(taken, wanted)), ElapsedText(wanted)));
}

void PaintTileLabels(QPainter& painter, const std::vector<TileLabel>& labels, const QFont& base)
{
    painter.save();
    for (const TileLabel& label : labels) {
        const int band = std::clamp(label.tile.height() / 6, 14, 32);
        QFont font = base;
        font.setBold(true);
        font.setPixelSize(band * 2 / 3);
        painter.setFont(font);
        const QRect strip(label.tile.left(), label.tile.bottom() + 1 - band, label.tile.width(), band);
        painter.fillRect(strip, QColor(0, 0, 0, 140));
        DrawShadowedText(painter, strip, Qt::AlignCenter, label.text, 1);
    }
    painter.restore();
}

namespace {

QFont PagerFont(const QFont& base, int buttonSide)
{
    QFont font = base;
    font.setBold(true);
    font.setPixelSize(std::max(buttonSide / 2, 8));
    return font;
}

} // namespace

PagerLayout LayOutPager(const QRect& area, const QFont& base)
{
    // Big enough to hit at a glance, small enough to leave the corner tile to be seen.
    const int side = std::clamp(area.height() / 14, 22, 40);
    const int pad = std::max(side / 6, 3);
    const int margin = std::max(side / 4, 4);
    // Wide enough for the widest page text there will be, so the buttons never move.
    const int pageWidth = QFontMetrics(PagerFont(base, side)).horizontalAdvance(QStringLiteral("88 / 88")) + 2 * pad;
    const int width = pad + side + pageWidth + side + pad;
    PagerLayout layout;
    layout.backing = QRect(area.right() + 1 - margin - width, area.top() + margin, width, side + 2 * pad);
    layout.back = QRect(layout.backing.left() + pad, layout.backing.top() + pad, side, side);
    layout.page = QRect(layout.back.right() + 1, layout.back.top(), pageWidth, side);
    layout.next = QRect(layout.page.right() + 1, layout.back.top(), side, side);
    return layout;
}

PagerPart PagerPartAt(const PagerLayout& layout, QPoint point)
{
    if (layout.back.contains(point))
        return PagerPart::Back;
    if (layout.next.contains(point))
        return PagerPart::Next;
    if (layout.backing.contains(point))
        return PagerPart::Page;
    return PagerPart::None;
}

void PaintPager(QPainter& painter, const PagerLayout& layout, const QFont& base, int page, int pages,
    PagerPart hovered, PagerPart pressed)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal radius = layout.backing.height() / 2.0;
    painter.setPen(QPen(QColor(255, 255, 255, 90), 1));
    painter.setBrush(QColor(0, 0, 0, 175));
    painter.drawRoundedRect(QRectF(layout.backing).adjusted(0.5, 0.5, -0.5, -0.5), radius, radius);

    auto button = [&](const QRect& rect, PagerPart part) {
        const int alpha = part == pressed ? 150 : part == hovered ? 95 : 45;
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, alpha));
        painter.drawEllipse(QRectF(rect).adjusted(1, 1, -1, -1));
        // Drawn, not a font's glyph: every machine has the triangle.
        const QPointF c = QRectF(rect).center();
        const qreal h = rect.height() * 0.22;
        const qreal dir = part == PagerPart::Back ? -1.0 : 1.0;
        const QPointF tip(c.x() + dir * h * 1.1, c.y());
        const QPointF top(c.x() - dir * h * 0.7, c.y() - h);
        const QPointF bottom(c.x() - dir * h * 0.7, c.y() + h);
        const QPointF triangle[] = { tip, top, bottom };
        painter.setBrush(Qt::white);
        painter.drawPolygon(triangle, 3);
    };
    button(layout.back, PagerPart::Back);
    button(layout.next, PagerPart::Next);

    painter.setFont(PagerFont(base, layout.back.height()));
    DrawShadowedText(painter, layout.page, Qt::AlignCenter, QStringLiteral("%1 / %2").arg(page + 1).arg(pages), 1);
    painter.restore();
}

void PaintFaceBoxes(QPainter& painter, const std::vector<TrackedFace>& faces, float scaleX, float scaleY)
{
    painter.save();
    painter.setPen(QPen(QColor(0, 255, 0), 2));
    painter.setBrush(Qt::NoBrush);
    for (const TrackedFace& face : faces) {
        const QRectF box(face.box.x / scaleX, face.box.y / scaleY, face.box.width / scaleX, face.box.height / scaleY);
        painter.drawRect(box);
        painter.drawText(box.topLeft() + QPointF(3, -4), QString::number(face.id));
    }
    painter.restore();
}

void CountdownPainter::Paint(QPainter& painter, const QRect& area, const QFont& base, int seconds)
{
    const QString text = QString::number(seconds);
    if (area.size() != fontArea_ || text.size() != fontDigits_) {
        fontArea_ = area.size();
        fontDigits_ = text.size();
        font_ = base;
        font_.setBold(true);
        font_.setPixelSize(std::max(area.height() * 2 / 5, 8));
        const QFontMetrics metrics(font_);
        const int widest = metrics.horizontalAdvance(QString(text.size(), QLatin1Char('8')));
        const int room = area.width() * 4 / 5;
        if (widest > room && widest > 0)
            font_.setPixelSize(std::max(font_.pixelSize() * room / widest, 8));
    }
    painter.save();
    painter.setFont(font_);
    DrawShadowedText(painter, area, Qt::AlignCenter, text, std::max(font_.pixelSize() / 30, 1));
    painter.restore();
}

void CountdownPainter::Paint(QPainter& painter, const QRect& area, const QFont& base, int seconds,
    const QString& caption)
{
    if (caption.isEmpty()) {
        Paint(painter, area, base, seconds);
        return;
    }
    // The caption takes the top third, the digits the rest.
    const QRect captionArea(area.left(), area.top() + area.height() / 12, area.width(), area.height() / 4);
    const QRect digitsArea(area.left(), captionArea.bottom(), area.width(), area.bottom() - captionArea.bottom());
    QFont font = base;
    font.setBold(true);
    font.setPixelSize(std::max(captionArea.height() * 3 / 5, 8));
    const int wide = QFontMetrics(font).horizontalAdvance(caption);
    const int room = area.width() * 9 / 10;
    if (wide > room && wide > 0)
        font.setPixelSize(std::max(font.pixelSize() * room / wide, 8));
    painter.save();
    painter.setFont(font);
    DrawShadowedText(painter, captionArea, Qt::AlignCenter, caption, std::max(font.pixelSize() / 30, 1));
    painter.restore();
    Paint(painter, digitsArea, base, seconds);
}

ScreenFlash::ScreenFlash(QWidget* widget)
    : fade_(new QVariantAnimation(widget))
{
    fade_->setStartValue(kFlashStartOpacity);
    fade_->setEndValue(0.0);
    fade_->setDuration(kFlashMs);
    fade_->setEasingCurve(QEasingCurve::OutQuad);
    QObject::connect(fade_, &QVariantAnimation::valueChanged, widget, [this, widget](const QVariant& value) {
        opacity_ = value.toReal();
        widget->update();
    });
    QObject::connect(fade_, &QVariantAnimation::finished, widget, [this, widget] {
        opacity_ = 0.0;
        widget->update();
    });
}

void ScreenFlash::Start()
{
    fade_->stop();
    opacity_ = kFlashStartOpacity;
    fade_->start();
}

void ScreenFlash::Paint(QPainter& painter, const QRect& area) const
{
    if (!active())
        return;
    QColor white(Qt::white);
    white.setAlphaF(static_cast<float>(opacity_));
    painter.fillRect(area, white);
}
