#include "app/CAboutDlg.h"

#include "app/ribbon/CommandIcons.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kWidthDlu = 170;
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("关于 ParvelWebcam"));
    QFont dialogFont = font();
    dialogFont.setPointSize(9);
    setFont(dialogFont);

    // The icon beside two lines of text, OK under them at the right: in a grid that grows with the
    // texts of each language, no smaller than the original's dialog units.
    const QRect iconRect = DialogUnits(14, 14, 21, 20);
    const QRect margins = DialogUnits(14, 14, 7, 7);
    auto* grid = new QGridLayout(this);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    grid->setContentsMargins(margins.left(), margins.top(), margins.width(), margins.height());
    grid->setHorizontalSpacing(DialogUnits(0, 0, 7, 0).width());
    grid->setVerticalSpacing(DialogUnits(0, 0, 0, 4).height());

    auto* icon = new QLabel(this);
    const int side = std::min(iconRect.width(), iconRect.height());
    icon->setPixmap(AppIcon().pixmap(side, side));
    grid->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);

    version_ = new QLabel(tr("Parvel 乐影屋，2.0 版"), this);
    rights_ = new QLabel(tr("版权所有 (C) 2026 Tolvek 乐影屋小组"), this);
    grid->addWidget(version_, 0, 1);
    grid->addWidget(rights_, 1, 1);
    grid->setColumnMinimumWidth(1, DialogUnits(0, 0, 114, 0).width());
    grid->setColumnStretch(1, 1);

    ok_ = new QPushButton(tr("确定"), this);
    ok_->setDefault(true);
    ok_->setMinimumSize(DialogUnits(0, 0, 50, 14).size());
    grid->addWidget(ok_, 2, 1, Qt::AlignRight);
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);
    grid->addItem(new QSpacerItem(DialogUnits(0, 0, kWidthDlu - 28, 0).width(), 0), 3, 0, 1, 2);
}

QRect CAboutDlg::DialogUnits(int x, int y, int width, int height) const
{
    const QFontMetrics metrics(font());
    const double baseX
        = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 52.0;
    const double baseY = metrics.height();
    auto across = [baseX](int units) { return int(units * baseX / 4.0 + 0.5); };
    auto down = [baseY](int units) { return int(units * baseY / 8.0 + 0.5); };
    return { across(x), down(y), across(width), down(height) };
}
