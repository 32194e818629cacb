// iconsheet OUT.png [SCALE [SMALL LARGE]]
// One sheet of every command icon at 16 and 32 pixels (or SMALL and LARGE), on a light and on a
// dark ribbon, with the command's value and caption; then the colour buttons, the pen gallery and
// the program's icon. SCALE (default 1) enlarges the sheet without smoothing, to see single pixels.
#include "app/commands/CommandNames.h"
#include "app/commands/CommandTable.h"
#include "app/ribbon/CommandIcons.h"

#include <QApplication>
#include <algorithm>
#include <QPainter>
#include <QTextStream>

namespace {
constexpr int kColumns = 4;
int small = 16;
int large = 32;
int PairWidth() { return small + large + 12; }
int CellWidth() { return 2 * PairWidth() + 180; }
int CellHeight() { return large + 12; }
const QColor kLight(0xDF, 0xE9, 0xF5);
const QColor kDark(0x3C, 0x3F, 0x44);

void DrawIconPair(QPainter& p, int x, int y, const QImage& first, const QImage& second, const QColor& ground)
{
    p.fillRect(QRect(x, y, PairWidth(), large + 8), ground);
    p.drawImage(QPoint(x + 4, y + 4 + (large - small) / 2), first);
    p.drawImage(QPoint(x + small + 8, y + 4), second);
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
    if (args.size() > 4) {
        small = std::clamp(args[3].toInt(), 8, 64);
        large = std::clamp(args[4].toInt(), 8, 128);
    }
    const CommandTable table = BuildCommandTable();
    const std::vector<CommandId> allIds = AllCommandIds();
    const int rows = (static_cast<int>(allIds.size()) + kColumns - 1) / kColumns;
    const int extraHeight = 2 * (large + 30) + 70 + 270;
    QImage sheet(kColumns * CellWidth(), rows * CellHeight() + extraHeight, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(Qt::white);
    QPainter p(&sheet);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    for (std::size_t i = 0; i < allIds.size(); ++i) {
        const CommandId id = allIds[i];
        const int x = static_cast<int>(i % kColumns) * CellWidth();
        const int y = static_cast<int>(i / kColumns) * CellHeight();
        const QImage first = CommandIconImage(id, small), second = CommandIconImage(id, large);
        DrawIconPair(p, x + 2, y + 2, first, second, kLight);
        DrawIconPair(p, x + PairWidth() + 4, y + 2, first, second, kDark);
        p.setPen(Qt::black);
        const QString caption = table.Contains(id) ? table.Caption(id) : QString();
        p.drawText(QRect(x + 2 * PairWidth() + 10, y + 2, 170, large + 8), Qt::AlignVCenter | Qt::TextWordWrap,
                   QString::number(id) + QLatin1Char(' ') + caption);
    }
    int y = rows * CellHeight() + 10;
    const std::array<QColor, 5> colours{Qt::red, Qt::black, QColor(0x20, 0xA0, 0x40), Qt::blue, Qt::yellow};
    for (const CommandId id : {ID_BUTTON_FLOW_COLOR, ID_BUTTON_PAINT_COLOR}) {
        int x = 2;
        for (const QColor& colour : colours) {
            DrawIconPair(p, x, y, ColourButtonImage(id, colour, small), ColourButtonImage(id, colour, large), kLight);
            x += PairWidth() + 4;
        }
        p.drawText(QPoint(x + 8, y + 24), QString::number(id) + QStringLiteral(" with five colours"));
        y += large + 30;
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
