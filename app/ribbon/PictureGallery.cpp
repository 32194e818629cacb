#include "app/ribbon/PictureGallery.h"

#include "app/ribbon/PenGallery.h"

#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// The picture above its caption; the chosen cell on a light wash inside a frame in the look's
// accent colour, the one under the pointer inside a thin frame (as the pen gallery).
class PictureCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override
    {
        return { PictureGallery::kCellWidth, PictureGallery::kCellHeight };
    }

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        PaintGalleryCellFrame(*painter, option);
        const int k = PictureGallery::kPicture;
        const QRect picture(option.rect.center().x() - k / 2 + 1, option.rect.top() + 6, k, k);
        index.data(Qt::DecorationRole).value<QIcon>().paint(painter, picture);
        painter->setPen(option.palette.color(QPalette::Text));
        const QRect caption(option.rect.left() + 2, picture.bottom() + 3, option.rect.width() - 4,
            option.rect.bottom() - picture.bottom() - 4);
        painter->drawText(caption, Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
            index.data(Qt::DisplayRole).toString());
        painter->restore();
    }
};

} // namespace

PictureGallery::PictureGallery(QWidget* parent)
    : QListWidget(parent)
{
    setObjectName(QStringLiteral("pictureGallery"));
    setViewMode(QListView::IconMode);
    setIconSize(QSize(kPicture, kPicture));
    setGridSize(QSize(kCellWidth, kCellHeight));
    setSpacing(0);
    setUniformItemSizes(true);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setMouseTracking(true);
    setItemDelegate(new PictureCellDelegate(this));
}

QSize PictureGallery::sizeHint() const
{
    const int rows = (count() + kColumns - 1) / kColumns;
    // The list wraps an item that would reach the viewport's last pixel column: one to spare.
    return { kColumns * kCellWidth + 2 * frameWidth() + 1, std::max(rows, 1) * kCellHeight + 2 * frameWidth() };
}
