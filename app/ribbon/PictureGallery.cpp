#include "app/ribbon/PictureGallery.h"

#include "app/ribbon/GalleryGrid.h"

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
    SetUpGalleryGrid(*this, QSize(kPicture, kPicture), QSize(kCellWidth, kCellHeight));
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setItemDelegate(new PictureCellDelegate(this));
}

QSize PictureGallery::sizeHint() const
{
    return GalleryGridSize(*this, kColumns, std::max((count() + kColumns - 1) / kColumns, 1), QSize(kCellWidth, kCellHeight));
}
