#pragma once

#include <QHash>
#include <QImage>
#include <QListWidget>

#include <vector>

// The backdrops as pictures, three to a row, each a small picture of the backdrop with its name
// as a tooltip. It lists the files its command offers; a picture is made once per file.
class BackdropGallery final : public QListWidget {
public:
    static constexpr int kColumns = 3;
    static constexpr QSize kThumbnail { 96, 54 };

    explicit BackdropGallery(QWidget* parent = nullptr);

    // Shows these files (paths) in this order, the chosen one (-1: none) marked. Files that are no
    // picture are left out; row() of an item maps back through path().
    void ShowFiles(const std::vector<QString>& paths, int chosen);
    QString path(int row) const;

    QSize sizeHint() const override;

private:
    QHash<QString, QImage> thumbnails_;
    std::vector<QString> shown_;
};
