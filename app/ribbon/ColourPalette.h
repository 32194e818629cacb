#pragma once

#include <QColor>
#include <QWidget>

#include <cstdint>
#include <vector>

// The drop-down of a colour button: an automatic entry (black) at the top, then swatches of
// 22 × 22 pixels in rows. Picking one closes the drop-down through the signal.
class ColourPalette : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSwatch = 22;
    static constexpr int kDefaultPerRow = 8;

    explicit ColourPalette(int perRow, QWidget* parent = nullptr);

    static const std::vector<QColor>& Colours();
    int perRow() const { return perRow_; }

signals:
    void picked(QColor colour);

private:
    int perRow_;
};

// A colour as the program's colour buttons hand it on: red in the low byte, then green, then blue.
std::uint32_t ColourButtonValue(const QColor& colour);
