#include "app/ribbon/RibbonPanel.h"

#include "app/ribbon/CommandActions.h"

#include <QAction>
#include <QCoreApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// Small controls stack three high in a column, as in an office program's ribbon.
constexpr int kRowsPerColumn = 3;

QFrame* ColumnLine(QWidget* parent)
{
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setObjectName(QStringLiteral("ribbonSeparator"));
    return line;
}

QVBoxLayout* NewColumn(QHBoxLayout* columns, PanelLayout::Arrange arrange)
{
    auto* column = new QVBoxLayout;
    column->setSpacing(arrange == PanelLayout::Justified ? 8 : 1);
    if (arrange == PanelLayout::Centred)
        column->addStretch(1);
    columns->addLayout(column);
    return column;
}

void CloseColumn(QVBoxLayout* column)
{
    if (column != nullptr)
        column->addStretch(1);
}

} // namespace

RibbonPanel::RibbonPanel(const PanelLayout& layout, CommandActions& actions, QWidget* parent)
    : QWidget(parent)
    , keyTip_(layout.keyTip)
{
    setObjectName(QStringLiteral("ribbonPanel"));
    auto* outer = new QHBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);

    body_ = new QWidget(this);
    body_->setObjectName(QStringLiteral("ribbonPanelBody"));
    auto* bodyLayout = new QVBoxLayout(body_);
    bodyLayout->setContentsMargins(4, 2, 4, 0);
    bodyLayout->setSpacing(0);
    auto* columns = new QHBoxLayout;
    columns->setSpacing(2);
    bodyLayout->addLayout(columns, 1);

    QVBoxLayout* stack = nullptr; // the column small controls go into
    int stacked = 0;
    for (const ControlLayout& control : layout.controls) {
        if (control.kind == ControlLayout::Separator) {
            CloseColumn(stack);
            stack = nullptr;
            columns->addWidget(ColumnLine(body_));
            continue;
        }
        ShownControl shown = MakeControl(control, actions, body_);
        if (control.kind == ControlLayout::Large) {
            CloseColumn(stack);
            stack = nullptr;
            columns->addWidget(shown.widget);
        } else {
            if (stack == nullptr || stacked == kRowsPerColumn) {
                CloseColumn(stack);
                stack = NewColumn(columns, layout.arrange);
                stacked = 0;
            }
            stack->addWidget(shown.widget);
            if (layout.arrange == PanelLayout::Justified)
                stack->addStretch(1);
            ++stacked;
        }
        controls_.push_back(std::move(shown));
    }
    CloseColumn(stack);

    caption_ = new QLabel(QCoreApplication::translate("Ribbon", layout.caption.toUtf8().constData()), body_);
    caption_->setObjectName(QStringLiteral("ribbonPanelCaption"));
    caption_->setAlignment(Qt::AlignCenter);
    bodyLayout->addWidget(caption_);
    outer->addWidget(body_);
    outer->addWidget(ColumnLine(this));
    unfoldedWidth_ = sizeHint().width();

    // The folded form: one large button with the panel's caption and its first command's icon.
    foldedButton_ = new QToolButton(this);
    foldedButton_->setObjectName(QStringLiteral("ribbonLarge"));
    foldedButton_->setAutoRaise(true);
    foldedButton_->setFocusPolicy(Qt::NoFocus);
    foldedButton_->setText(caption_->text() + QStringLiteral(" ▾"));
    foldedButton_->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    foldedButton_->setIconSize(QSize(kLargeIcon, kLargeIcon));
    foldedButton_->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    for (const ShownControl& shown : controls_)
        if (shown.id) {
            foldedButton_->setIcon(actions.Action(*shown.id)->icon());
            break;
        }
    foldedButton_->hide();
    connect(foldedButton_, &QToolButton::clicked, this, &RibbonPanel::ShowDropDown);
    // A command run from the dropped-down panel closes it, as a menu closes after its choice.
    connect(&actions, &CommandActions::commandRan, this, &RibbonPanel::HideDropDown);
}

QString RibbonPanel::caption() const
{
    return caption_->text();
}

int RibbonPanel::foldedWidth() const
{
    return foldedButton_->sizeHint().width() + 4;
}

void RibbonPanel::SetFolded(bool folded)
{
    if (folded == folded_)
        return;
    folded_ = folded;
    auto* outer = static_cast<QHBoxLayout*>(layout());
    if (folded) {
        outer->removeWidget(body_);
        if (dropDown_ == nullptr) {
            dropDown_ = new QFrame(this, Qt::Popup);
            dropDown_->setObjectName(QStringLiteral("ribbonPanelDropDown"));
            dropDown_->setFrameShape(QFrame::StyledPanel);
            auto* popupLayout = new QVBoxLayout(dropDown_);
            popupLayout->setContentsMargins(2, 2, 2, 2);
        }
        body_->setParent(dropDown_);
        dropDown_->layout()->addWidget(body_);
        body_->show();
        outer->insertWidget(0, foldedButton_);
        foldedButton_->show();
    } else {
        HideDropDown();
        dropDown_->layout()->removeWidget(body_);
        body_->setParent(this);
        outer->removeWidget(foldedButton_);
        foldedButton_->hide();
        outer->insertWidget(0, body_);
        body_->show();
    }
}

void RibbonPanel::ShowDropDown()
{
    if (!folded_ || dropDown_ == nullptr)
        return;
    dropDown_->adjustSize();
    QPoint at = foldedButton_->mapToGlobal(QPoint(0, foldedButton_->height()));
    dropDown_->move(at);
    dropDown_->show();
    // A panel folded at the right of the screen opens leftwards, so all of it can be reached
    // (measured once shown, with whatever frame the platform gives the popup).
    if (const QScreen* screen = foldedButton_->screen()) {
        const QRect room = screen->availableGeometry();
        at.setX(std::max(room.left(), std::min(at.x(), room.right() + 1 - dropDown_->frameGeometry().width())));
        if (at != dropDown_->pos())
            dropDown_->move(at);
    }
}

void RibbonPanel::HideDropDown()
{
    if (dropDown_ != nullptr)
        dropDown_->hide();
}
