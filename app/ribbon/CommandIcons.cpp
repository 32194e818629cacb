#include "app/ribbon/CommandIcons.h"

#include <QPainter>

// Interim drawings until the icon set lands.
QIcon CommandIcon(CommandId id)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setBrush(QColor::fromHsv(int(id) * 37 % 360, 160, 220));
    p.drawRoundedRect(4, 4, 24, 24, 5, 5);
    return QIcon(pixmap);
}

QIcon ColourButtonIcon(CommandId id, QColor current)
{
    QPixmap pixmap = CommandIcon(id).pixmap(32, 32);
    QPainter p(&pixmap);
    p.fillRect(2, 26, 28, 5, current);
    return QIcon(pixmap);
}

QPixmap PenWidthImage(int index)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::white);
    QPainter p(&pixmap);
    p.setPen(QPen(Qt::black, 1 + index * 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(6, 26, 26, 6);
    return pixmap;
}

QIcon AppIcon()
{
    return CommandIcon(ID_APP_ABOUT);
}
