#pragma once

#include <QListWidget>

// The pen widths' pictures, four to a row: it opens as tall as its rows, and frames the chosen
// pen's whole cell.
class PenGallery final : public QListWidget {
public:
    static constexpr int kColumns = 4;
    static constexpr int kCell = 44;

    explicit PenGallery(QWidget* parent = nullptr);

    // Every row whole, no scroll bar.
    QSize sizeHint() const override;
    // The cell the list draws an item in (the chosen one's frame is on its edge).
    QRect CellRect(int row) const;
};

