#include "app/CustomizeDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

CustomizeDialog::CustomizeDialog(std::vector<Bar> bars, QWidget* parent)
    : QDialog(parent)
    , bars_(std::move(bars))
{
    setWindowTitle(tr("自定义"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("选择窗口中显示的栏："), this));
    for (const Bar& bar : bars_) {
        auto* box = new QCheckBox(bar.name, this);
        box->setChecked(bar.widget->isVisible());
        layout->addWidget(box);
        boxes_.push_back(box);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CustomizeDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CustomizeDialog::reject);
    layout->addWidget(buttons);
}

void CustomizeDialog::accept()
{
    for (std::size_t i = 0; i < bars_.size(); ++i)
        bars_[i].widget->setVisible(boxes_[i]->isChecked());
    QDialog::accept();
}
