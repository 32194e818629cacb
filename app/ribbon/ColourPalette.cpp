#include "app/ribbon/ColourPalette.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton* Swatch(const QColor& colour, QWidget* parent)
{
    auto* swatch = new QPushButton(parent);
    swatch->setFixedSize(ColourPalette::kSwatch, ColourPalette::kSwatch);
    swatch->setFlat(true);
    swatch->setFocusPolicy(Qt::StrongFocus);
    swatch->setToolTip(colour.name());
    swatch->setAccessibleName(colour.name());
    swatch->setStyleSheet(QStringLiteral("QPushButton { background: %1; border: 1px solid #8c8c8c; margin: 1px; }"
                                         "QPushButton:hover, QPushButton:focus { border: 2px solid #e8a33d; }")
            .arg(colour.name()));
    return swatch;
}

} // namespace

const std::vector<QColor>& ColourPalette::Colours()
{
    // Five shades of eight hues and a grey ramp: the swatches an office program's palette offers.
    static const std::vector<QColor> colours = [] {
        std::vector<QColor> result;
        const char* rows[] = {
            "#000000", "#993300", "#333300", "#003300", "#003366", "#000080", "#333399", "#333333",
            "#800000", "#ff6600", "#808000", "#008000", "#008080", "#0000ff", "#666699", "#808080",
            "#ff0000", "#ff9900", "#99cc00", "#339966", "#33cccc", "#3366ff", "#800080", "#969696",
            "#ff00ff", "#ffcc00", "#ffff00", "#00ff00", "#00ffff", "#00ccff", "#993366", "#c0c0c0",
            "#ff99cc", "#ffcc99", "#ffff99", "#ccffcc", "#ccffff", "#99ccff", "#cc99ff", "#ffffff",
        };
        for (const char* name : rows)
            result.emplace_back(QLatin1String(name));
        return result;
    }();
    return colours;
}

ColourPalette::ColourPalette(int perRow, QWidget* parent)
    : QWidget(parent)
    , perRow_(perRow > 0 ? perRow : kDefaultPerRow)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(4);
    auto* automatic = new QPushButton(QCoreApplication::translate("Ribbon", "自动"), this);
    automatic->setIcon([] {
        QPixmap black(14, 14);
        black.fill(Qt::black);
        return QIcon(black);
    }());
    automatic->setObjectName(QStringLiteral("automaticColour"));
    connect(automatic, &QPushButton::clicked, this, [this] { emit picked(QColor(Qt::black)); });
    layout->addWidget(automatic);

    auto* grid = new QGridLayout;
    grid->setSpacing(0);
    const std::vector<QColor>& colours = Colours();
    for (int i = 0; i < int(colours.size()); ++i) {
        QPushButton* swatch = Swatch(colours[i], this);
        connect(swatch, &QPushButton::clicked, this, [this, colour = colours[i]] { emit picked(colour); });
        grid->addWidget(swatch, i / perRow_, i % perRow_);
    }
    layout->addLayout(grid);
}

std::uint32_t ColourButtonValue(const QColor& colour)
{
    return std::uint32_t(colour.red()) | (std::uint32_t(colour.green()) << 8) | (std::uint32_t(colour.blue()) << 16);
}
