#include "app/CaptionBar.h"

#include "app/commands/CommandTable.h"
#include "app/ribbon/CommandActions.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>

CaptionBar::CaptionBar(CommandActions& actions, QWidget* parent)
    : QFrame(parent)
{
    setObjectName(QStringLiteral("CaptionBar"));
    setFrameShape(QFrame::StyledPanel);
    setStyleSheet(QStringLiteral("#CaptionBar { background: #fff7d6; border: 1px solid #e0c97a; }"
                                 "#CaptionBar QLabel { color: #4a3b00; }"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 3, 6, 3);

    options_ = new QPushButton(actions.table().Caption(ID_CAPTION_BAR_OPTIONS), this);
    options_->setToolTip(actions.table().ToolTip(ID_CAPTION_BAR_OPTIONS));
    connect(options_, &QPushButton::clicked, this, [&actions] { actions.Run(ID_CAPTION_BAR_OPTIONS); });

    image_ = new QLabel(this);
    image_->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(16, 16));
    image_->setToolTip(tr("重要事项") + QLatin1Char('\n') + tr("这是向用户显示的信息性消息。"));
    text_ = new QLabel(tr("这是标题栏，可在其中向用户显示消息。"), this);

    layout->addWidget(options_);
    layout->addWidget(image_);
    layout->addWidget(text_, 1);
}
