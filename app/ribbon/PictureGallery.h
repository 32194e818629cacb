#pragma once

#include <QListWidget>

// Captioned pictures, a few to a row, for a drop-down of commands that are easier chosen by
// seeing (the fun effects): it opens as tall as its rows, and the chosen one stands out.
class PictureGallery final : public QListWidget {
public:
    static constexpr int kColumns = 6;
    static constexpr int kCellWidth = 78;
    static constexpr int kCellHeight = 66;
    static constexpr int kPicture = 32;

    explicit PictureGallery(QWidget* parent = nullptr);

    // Every row whole, no scroll bar.
    QSize sizeHint() const override;
};
