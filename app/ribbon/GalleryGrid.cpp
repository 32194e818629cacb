#include "app/ribbon/GalleryGrid.h"

#include <QPainter>

void SetUpGalleryGrid(QListWidget& list, QSize picture, QSize cell)
{
    list.setViewMode(QListView::IconMode);
    list.setIconSize(picture);
    list.setGridSize(cell);
    list.setSpacing(0);
    list.setUniformItemSizes(true);
    list.setResizeMode(QListView::Adjust);
    list.setMovement(QListView::Static);
    list.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list.setMouseTracking(true);
}

QSize GalleryGridSize(const QListWidget& list, int columns, int rows, QSize cell)
{
    return { columns * cell.width() + 2 * list.frameWidth() + 1, rows * cell.height() + 2 * list.frameWidth() };
}

void PaintGalleryCellFrame(QPainter& painter, const QStyleOptionViewItem& option)
{
    const QRectF cell = QRectF(option.rect).adjusted(2, 2, -2, -2);
    const QColor accent = option.palette.color(QPalette::Highlight);
    if (option.state & QStyle::State_Selected) {
        QColor wash = accent;
        wash.setAlpha(60);
        painter.setPen(QPen(accent, 2.5));
        painter.setBrush(wash);
        painter.drawRoundedRect(cell, 4, 4);
    } else if (option.state & QStyle::State_MouseOver) {
        painter.setPen(QPen(accent, 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(cell, 4, 4);
    }
}
