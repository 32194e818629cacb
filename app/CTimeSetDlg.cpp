#include "app/CTimeSetDlg.h"

#include "settings/SettingsWorkbook.h"
#include "ui/MessageBoxes.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Layout in dialog units: a quarter of the font's average character width across, an eighth
// of its height down.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font)
    {
        const QFontMetrics metrics(font);
        const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        baseX_ = std::max((metrics.horizontalAdvance(letters) / 26 + 1) / 2, 1);
        baseY_ = std::max(metrics.height(), 1);
    }
    int X(int units) const { return (units * baseX_ + 2) / 4; }
    int Y(int units) const { return (units * baseY_ + 4) / 8; }

private:
    int baseX_ = 1;
    int baseY_ = 1;
};

} // namespace

QString CTimeSetDlg::FontFamily()
{
    const QStringList families = QFontDatabase::families();
    for (const QString& yaHei : { QStringLiteral("微软雅黑"), QStringLiteral("Microsoft YaHei") })
        if (families.contains(yaHei, Qt::CaseInsensitive))
            return yaHei;
    return QStringLiteral("Noto Sans CJK SC");
}

CTimeSetDlg::CTimeSetDlg(const AppFolders& folders, SettingsValues& values, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , folders_(folders)
    , values_(values)
{
    setWindowTitle(tr("延时设置"));
    setModal(true);
    setFont(QFont(FontFamily(), 8));
    const DialogUnits du(font());

    // Laid out in rows that grow with their texts, which differ in length from one language to
    // another; the dialog units keep the proportions of the original one.
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->setContentsMargins(du.X(18), du.Y(20), du.X(18), du.Y(7));
    layout->setSpacing(du.Y(21));
    auto* entry = new QHBoxLayout;
    entry->setSpacing(du.X(7));
    label_ = new QLabel(tr("延时时间"), this);
    field_ = new QLineEdit(QString::number(values.delaySeconds), this);
    field_->setObjectName(QStringLiteral("delayField"));
    field_->setFixedWidth(du.X(40));
    unit_ = new QLabel(tr("(秒)"), this);
    entry->addWidget(label_);
    entry->addWidget(field_);
    entry->addWidget(unit_);
    entry->addStretch(1);
    layout->addLayout(entry);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(du.X(12));
    ok_ = new QPushButton(tr("确定"), this);
    ok_->setDefault(true);
    cancel_ = new QPushButton(tr("取消"), this);
    for (QPushButton* button : { ok_, cancel_ }) {
        button->setMinimumSize(du.X(50), du.Y(14));
        buttons->addWidget(button);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(ok_, &QPushButton::clicked, this, &CTimeSetDlg::accept);
    connect(cancel_, &QPushButton::clicked, this, &CTimeSetDlg::reject);
    layout->addStrut(du.X(147 - 2 * 18)); // no narrower than the original
    field_->setFocus();
    field_->selectAll();
}

void CTimeSetDlg::RefuseEntry(const QString& message, const QString& caption, MessageIcon icon)
{
    Messages().Show(this, message, caption, icon, MessageButtons::Ok);
    field_->setFocus();
    field_->selectAll();
}

void CTimeSetDlg::accept()
{
    bool isInteger = false;
    // toInt refuses anything beyond a 32-bit integer, so an overlong entry is not a number here.
    const int seconds = field_->text().trimmed().toInt(&isInteger, 10);
    if (!isInteger) {
        // Worded like the framework's own check of a number field, under the application title.
        RefuseEntry(tr("请输入一个整数~"), MessageBoxes::TitleCaption(), MessageIcon::Exclamation);
        return;
    }
    if (seconds <= 0) {
        RefuseEntry(tr("时间非负,请重新设置~"), MessageBoxes::DefaultCaption(), MessageIcon::Information);
        return;
    }
    if (seconds > kMaxDelaySeconds) {
        // The next start would not take a longer delay from the workbook.
        RefuseEntry(tr("延时时间最长为%1秒,请重新设置~").arg(kMaxDelaySeconds), MessageBoxes::DefaultCaption(),
            MessageIcon::Information);
        return;
    }
    // A workbook that cannot be written keeps the new delay for this run; nothing to tell.
    (void)StoreDelaySeconds(folders_, values_, seconds);
    QDialog::accept();
}

void OpenDelayDialogOver(QWidget* parent, AppFolders& folders, SettingsValues& values)
{
    for (CTimeSetDlg* open : parent->findChildren<CTimeSetDlg*>(QString(), Qt::FindDirectChildrenOnly))
        if (open->isVisible()) { // a closed one may wait for its deletion
            open->raise();
            open->activateWindow();
            return;
        }
    auto* dialog = new CTimeSetDlg(folders, values, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
