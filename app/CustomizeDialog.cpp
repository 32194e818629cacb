#include "app/CustomizeDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

CustomizeDialog::CustomizeDialog(std::vector<Bar> bars, QWidget* parent)
    : QDialog(parent)
    , bars_(std::move(bars))
{
    setWindowTitle(tr("自定义"));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize); // as large as its texts, in every language
    layout->addWidget(new QLabel(tr("选择窗口中显示的栏："), this));
    for (const Bar& bar : bars_) {
        auto* box = new QCheckBox(bar.name, this);
        box->setChecked(bar.widget->isVisible());
        layout->addWidget(box);
        boxes_.push_back(box);
        connect(box, &QCheckBox::toggled, this, &CustomizeDialog::UpdateRefusal);
    }
    refusal_ = new QLabel(tr("功能区和标题栏不能同时隐藏：否则再也找不到任何命令。"), this);
    refusal_->setObjectName(QStringLiteral("customizeRefusal"));
    layout->addWidget(refusal_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CustomizeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CustomizeDialog::reject);
    layout->addWidget(buttons);
    UpdateRefusal();
}

bool CustomizeDialog::KeepsAWayToTheCommands() const
{
    bool anyLeads = false;
    for (std::size_t i = 0; i < bars_.size(); ++i) {
        if (!bars_[i].leadsToCommands)
            continue;
        anyLeads = true;
        if (boxes_[i]->isChecked())
            return true;
    }
    return !anyLeads;
}

void CustomizeDialog::UpdateRefusal()
{
    const bool fine = KeepsAWayToTheCommands();
    ok_->setEnabled(fine);
    refusal_->setVisible(!fine);
}

void CustomizeDialog::accept()
{
    if (!KeepsAWayToTheCommands())
        return;
    for (std::size_t i = 0; i < bars_.size(); ++i)
        bars_[i].widget->setVisible(boxes_[i]->isChecked());
    QDialog::accept();
}
