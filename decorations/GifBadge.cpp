#include "decorations/GifBadge.h"

#include <QFont>
#include <QPainter>

#include <algorithm>

void DrawGifBadge(QPainter& painter, const QRectF& thumbnail)
{
    if (thumbnail.width() < 8.0 || thumbnail.height() < 8.0)
        return;
    const qreal height = std::clamp(thumbnail.height() * 0.2, 10.0, 22.0);
    const qreal width = std::min(height * 2.2, thumbnail.width() - 4.0);
    const qreal inset = std::max(2.0, height * 0.25);
    const QRectF label(thumbnail.left() + inset, thumbnail.bottom() - inset - height, width, height);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 170));
    painter.drawRoundedRect(label, height * 0.25, height * 0.25);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(std::max(7, static_cast<int>(height * 0.68)));
    painter.setFont(font);
    painter.setPen(QColor(255, 255, 255, 235));
    painter.drawText(label, Qt::AlignCenter, QStringLiteral("GIF"));
    painter.restore();
}
