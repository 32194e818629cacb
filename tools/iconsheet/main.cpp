// iconsheet OUT.png [SCALE]
// One sheet of every command icon at 16 and 32 pixels, on a light and on a dark ribbon, with the
// command's value and caption; then the colour buttons, the pen gallery and the program's icon.
// SCALE (default 1) enlarges the sheet without smoothing, to see single pixels.
#include "app/commands/CommandIds.h"
#include "app/commands/CommandTable.h"
#include "app/ribbon/CommandIcons.h"

#include <QApplication>
#include <algorithm>
#include <QPainter>
#include <QTextStream>

namespace {
constexpr int kColumns = 4;
constexpr int kCellWidth = 300;
constexpr int kCellHeight = 44;
const QColor kLight(0xDF, 0xE9, 0xF5);
const QColor kDark(0x3C, 0x3F, 0x44);

void DrawIconPair(QPainter& p, int x, int y, const QImage& small, const QImage& large, const QColor& ground)
{
    p.fillRect(QRect(x, y, 60, 40), ground);
    p.drawImage(QPoint(x + 4, y + 12), small);
    p.drawImage(QPoint(x + 24, y + 4), large);
}
} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2) {
        QTextStream(stderr) << "usage: iconsheet OUT.png [SCALE]\n";
        return 2;
    }
    const int scale = args.size() > 2 ? std::max(1, args[2].toInt()) : 1;
    const CommandTable table = BuildCommandTable();
    const int rows = (static_cast<int>(kAllCommandIds.size()) + kColumns - 1) / kColumns;
    const int extraHeight = 3 * 70 + 270;
    QImage sheet(kColumns * kCellWidth, rows * kCellHeight + extraHeight, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    for (std::size_t i = 0; i < kAllCommandIds.size(); ++i) {
        const CommandId id = kAllCommandIds[i];
        const int x = static_cast<int>(i % kColumns) * kCellWidth;
        const int y = static_cast<int>(i / kColumns) * kCellHeight;
        const QImage small = CommandIconImage(id, 16), large = CommandIconImage(id, 32);
        DrawIconPair(p, x + 2, y + 2, small, large, kLight);
        DrawIconPair(p, x + 64, y + 2, small, large, kDark);
        p.setPen(Qt::black);
        const QString caption = table.Contains(id) ? table.Caption(id) : QString();
        p.drawText(QRect(x + 130, y + 2, kCellWidth - 134, 40), Qt::AlignVCenter | Qt::TextWordWrap,
                   QString::number(id) + QLatin1Char(' ') + caption);
    }
    int y = rows * kCellHeight + 10;
    const std::array<QColor, 5> colours{Qt::red, Qt::black, QColor(0x20, 0xA0, 0x40), Qt::blue, Qt::yellow};
    for (const CommandId id : {ID_BUTTON_FLOW_COLOR, ID_BUTTON_PAINT_COLOR}) {
        int x = 2;
        for (const QColor& colour : colours) {
            DrawIconPair(p, x, y, ColourButtonImage(id, colour, 16), ColourButtonImage(id, colour, 32), kLight);
            x += 64;
        }
        p.drawText(QPoint(x + 8, y + 24), QString::number(id) + QStringLiteral(" with five colours"));
        y += 70;
    }
    for (int i = 0; i < kPenImageCount; ++i) {
        p.fillRect(QRect(2 + i * 40, y, 36, 36), kLight);
        p.drawPixmap(QPoint(4 + i * 40, y + 2), PenWidthImage(i));
    }
    p.drawText(QPoint(8 * 40 + 10, y + 24), QStringLiteral("pen gallery"));
    y += 70;
    int x = 2;
    for (const int size : kAppIconSizes) {
        p.fillRect(QRect(x, y, size + 4, size + 4), kLight);
        p.drawImage(QPoint(x + 2, y + 2), AppIconImage(size));
        x += size + 10;
    }
    p.end();
    const QImage out = scale > 1 ? sheet.scaled(sheet.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation) : sheet;
    if (!out.save(args[1])) {
        QTextStream(stderr) << "cannot write " << args[1] << "\n";
        return 1;
    }
    return 0;
}
