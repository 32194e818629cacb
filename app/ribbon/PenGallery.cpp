#include "app/ribbon/PenGallery.h"

#include "app/ribbon/CommandIcons.h"
#include "app/ribbon/GalleryGrid.h"
#include "pipeline/PictureCommands.h"

#include <QCoreApplication>
#include <QPainter>
#include <QStyledItemDelegate>

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
    SetUpGalleryGrid(*this, QSize(kPenIcon, kPenIcon), QSize(kCell, kCell));
    // Never smaller than its rows, so no scroll bar takes the room of a column.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegate(new PenCellDelegate(this));
    for (int i = 0; i < kPenWidthCount; ++i) {
        auto* item = new QListWidgetItem(QIcon(PenWidthImage(i)), QString(), this);
        item->setToolTip(QCoreApplication::translate("Ribbon", "%1 像素").arg(PenWidthPixels(i)));
    }
    setMinimumSize(sizeHint());
}

QSize PenGallery::sizeHint() const
{
    return GalleryGridSize(*this, kColumns, std::max((count() + kColumns - 1) / kColumns, 1), QSize(kCell, kCell));
}

QRect PenGallery::CellRect(int row) const
{
    return visualRect(model()->index(row, 0));
}
