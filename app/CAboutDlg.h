#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// The about dialog: the program's icon, its name and version, a rights notice and "确定".
// Laid out in a grid that grows with the texts of each language, no smaller than the original
// dialog units of its font.
class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    // Dialog units (a quarter of the font's average character width across, an eighth of its
    // height down) in pixels.
    QRect DialogUnits(int x, int y, int width, int height) const;

    QLabel* versionText() const { return version_; }
    QLabel* rightsText() const { return rights_; }
    QPushButton* okButton() const { return ok_; }

private:
    QLabel* version_ = nullptr;
    QLabel* rights_ = nullptr;
    QPushButton* ok_ = nullptr;
};
