#include "app/ribbon/BackdropGallery.h"

#include "app/ribbon/GalleryGrid.h"
#include "pipeline/BackdropLibrary.h"

#include <QFileInfo>
#include <QScrollBar>
#include <QIcon>
#include <QPixmap>

#include <algorithm>

namespace {
constexpr int kCellPadding = 8;
constexpr int kMostRows = 4; // more scroll
} // namespace

BackdropGallery::BackdropGallery(QWidget* parent)
    : QListWidget(parent)
{
    setObjectName(QStringLiteral("backdropGallery"));
    SetUpGalleryGrid(*this, kThumbnail, kThumbnail + QSize(kCellPadding, kCellPadding));
}

void BackdropGallery::ShowFiles(const std::vector<QString>& paths, int chosen)
{
    const QString chosenPath = chosen >= 0 && chosen < int(paths.size()) ? paths[size_t(chosen)] : QString();
    std::vector<QString> shown;
    for (const QString& file : paths) {
        auto it = thumbnails_.find(file);
        if (it == thumbnails_.end())
            it = thumbnails_.insert(file, BackdropThumbnail(file, kThumbnail));
        if (!it->isNull())
            shown.push_back(file);
    }
    if (shown != shown_) {
        const QSignalBlocker quiet(this);
        clear();
        for (const QString& file : shown) {
            auto* item = new QListWidgetItem(QIcon(QPixmap::fromImage(thumbnails_.value(file))), QString(), this);
            item->setToolTip(QFileInfo(file).completeBaseName());
        }
        shown_ = std::move(shown);
        // A scroll bar only when the rows do not all fit; one that came and went as needed would
        // take a column's width and wrap the grid into more rows than it was sized for.
        setVerticalScrollBarPolicy(count() > kColumns * kMostRows ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        setMinimumSize(sizeHint());
        updateGeometry();
    }
    const auto at = std::find(shown_.begin(), shown_.end(), chosenPath);
    const int row = chosenPath.isEmpty() || at == shown_.end() ? -1 : int(at - shown_.begin());
    if (row != currentRow()) {
        const QSignalBlocker quiet(this);
        setCurrentRow(row);
    }
}

QString BackdropGallery::path(int row) const
{
    return row >= 0 && row < int(shown_.size()) ? shown_[size_t(row)] : QString();
}

QSize BackdropGallery::sizeHint() const
{
    const int rows = std::clamp((count() + kColumns - 1) / kColumns, 1, kMostRows);
    const int scrollBar = count() > kColumns * kMostRows ? verticalScrollBar()->sizeHint().width() : 0;
    return GalleryGridSize(*this, kColumns, rows, gridSize()) + QSize(scrollBar, 0);
}
