#include "app/CAboutDlg.h"

#include "app/ribbon/CommandIcons.h"

#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>

namespace {
constexpr int kWidthDlu = 170;
constexpr int kHeightDlu = 62;
} // namespace

CAboutDlg::CAboutDlg(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(tr("关于 ParvelWebcam"));
    QFont dialogFont = font();
    dialogFont.setPointSize(9);
    setFont(dialogFont);

    auto* icon = new QLabel(this);
    const QRect iconRect = DialogUnits(14, 14, 21, 20);
    const int side = std::min(iconRect.width(), iconRect.height());
    icon->setPixmap(AppIcon().pixmap(side, side));
    icon->setGeometry(QRect(iconRect.topLeft(), QSize(side, side)));

    version_ = new QLabel(tr("Parvel 乐影屋，2.0 版"), this);
    version_->setGeometry(DialogUnits(42, 14, 114, 8));
    rights_ = new QLabel(tr("版权所有 (C) 2026 Tolvek 乐影屋小组"), this);
    rights_->setGeometry(DialogUnits(42, 26, 114, 8));

    ok_ = new QPushButton(tr("确定"), this);
    ok_->setDefault(true);
    ok_->setGeometry(DialogUnits(113, 41, 50, 14));
    connect(ok_, &QPushButton::clicked, this, &QDialog::accept);

    setFixedSize(DialogUnits(0, 0, kWidthDlu, kHeightDlu).size());
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
