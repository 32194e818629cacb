#include "app/ribbon/PenGallery.h"

#include "app/ribbon/CommandIcons.h"
#include "pipeline/PictureCommands.h"

#include <QCoreApplication>
#include <QPainter>
#include <QStyledItemDelegate>

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

namespace {

constexpr int kPenIcon = 32;

// A cell per pen: the picture in the middle; the chosen one on a light wash inside a frame in the
// look's accent colour, the one under the pointer inside a thin frame.
class PenCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return { PenGallery::kCell, PenGallery::kCell };
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        PaintGalleryCellFrame(*painter, option);
        const QIcon icon = index.data(Qt::DecorationRole).value<QIcon>();
        const QRect picture(option.rect.center() - QPoint(kPenIcon / 2 - 1, kPenIcon / 2 - 1), QSize(kPenIcon, kPenIcon));
        icon.paint(painter, picture);
        painter->restore();
    }
};

} // namespace

PenGallery::PenGallery(QWidget* parent)
    : QListWidget(parent)
{
    setObjectName(QStringLiteral("penGallery"));
    setViewMode(QListView::IconMode);
    setIconSize(QSize(kPenIcon, kPenIcon));
    setGridSize(QSize(kCell, kCell));
    setSpacing(0);
    setUniformItemSizes(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    // Never smaller than its rows, so no scroll bar takes the room of a column.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
    setItemDelegate(new PenCellDelegate(this));
    for (int i = 0; i < kPenWidthCount; ++i) {
        auto* item = new QListWidgetItem(QIcon(PenWidthImage(i)), QString(), this);
        item->setToolTip(QCoreApplication::translate("Ribbon", "%1 像素").arg(PenWidthPixels(i)));
    }
    setMinimumSize(sizeHint());
}

QSize PenGallery::sizeHint() const
{
    const int rows = (count() + kColumns - 1) / kColumns;
    // The list wraps an item that would reach the viewport's last pixel column: one to spare.
    return { kColumns * kCell + 2 * frameWidth() + 1, std::max(rows, 1) * kCell + 2 * frameWidth() };
}

QRect PenGallery::CellRect(int row) const
{
    return visualRect(model()->index(row, 0));
}
