#include "app/ribbon/RibbonKeyTips.h"

#include "app/ribbon/RibbonBar.h"
#include "app/ribbon/RibbonPanel.h"

#include <QApplication>
#include <QCheckBox>
#include <QStyle>
#include <QStyleOption>
#include <QKeyEvent>
#include <QLabel>
#include <QTabBar>
#include <QToolButton>

RibbonKeyTips::RibbonKeyTips(RibbonBar& ribbon, QWidget& window)
    : QObject(&window)
    , ribbon_(ribbon)
    , window_(window)
{
    qApp->installEventFilter(this);
}

RibbonKeyTips::~RibbonKeyTips()
{
    qApp->removeEventFilter(this);
}

void RibbonKeyTips::ShowTop()
{
    std::vector<Target> targets;
    for (const ShownControl& shown : ribbon_.tabRowControls())
        if (!shown.keyTip.isEmpty() && shown.activate)
            targets.push_back({ shown.keyTip, shown.widget, shown.widget->rect(), [this, act = shown.activate] {
                                   Hide();
                                   act();
                               } });
    for (int i = 0; i < ribbon_.categoryCount(); ++i)
        targets.push_back({ ribbon_.categoryKeyTip(i), ribbon_.tabs(), ribbon_.tabs()->tabRect(i), [this, i] {
                               ribbon_.SetCurrentCategory(i);
                               if (ribbon_.folded())
                                   ribbon_.SetFolded(false);
                               ShowCategory(i);
                           } });
    Show(std::move(targets), [this] { Hide(); });
}

void RibbonKeyTips::ShowCategory(int index)
{
    std::vector<Target> targets;
    for (RibbonPanel* panel : ribbon_.panels(index)) {
        if (panel->folded()) {
            targets.push_back({ panel->keyTip(), panel->foldedButton(), panel->foldedButton()->rect(),
                [this, panel, index] {
                    panel->ShowDropDown();
                    ShowPanel(panel, index);
                } });
            continue;
        }
        for (const ShownControl& shown : panel->controls())
            if (!shown.keyTip.isEmpty() && shown.activate)
                targets.push_back({ shown.keyTip, shown.widget, shown.widget->rect(), [this, act = shown.activate] {
                                       Hide();
                                       act();
                                   } });
    }
    Show(std::move(targets), [this] { ShowTop(); });
}

void RibbonKeyTips::ShowPanel(RibbonPanel* panel, int category)
{
    std::vector<Target> targets;
    for (const ShownControl& shown : panel->controls())
        if (!shown.keyTip.isEmpty() && shown.activate)
            targets.push_back({ shown.keyTip, shown.widget, shown.widget->rect(), [this, act = shown.activate] {
                                   Hide();
                                   act();
                               } });
    Show(std::move(targets), [this, panel, category] {
        panel->HideDropDown();
        ShowCategory(category);
    });
}

void RibbonKeyTips::Show(std::vector<Target> targets, std::function<void()> back)
{
    for (QLabel* label : labels_) {
        label->hide(); // the new level's tips alone, at once
        label->deleteLater();
    }
    labels_.clear();
    typed_.clear();
    targets_ = std::move(targets);
    back_ = std::move(back);
    for (const Target& target : targets_) {
        // Tips over a dropped-down panel belong to its window, the others to the main window.
        QWidget* host = target.widget->window();
        auto* label = new QLabel(target.tip, host);
        label->setObjectName(QStringLiteral("ribbonKeyTip"));
        label->setAlignment(Qt::AlignCenter);
        label->setStyleSheet(QStringLiteral("QLabel { background: #fdf6d8; color: #202020; border: 1px solid #8c7b46;"
                                            " border-radius: 2px; padding: 0px 3px; font-weight: bold; }"));
        label->adjustSize();
        labels_.push_back(label);
    }
    PlaceLabels();
}

void RibbonKeyTips::PlaceLabels()
{
    for (std::size_t i = 0; i < targets_.size(); ++i) {
        const Target& target = targets_[i];
        QLabel* label = labels_[i];
        const bool visible = target.widget->isVisible() && target.tip.startsWith(typed_);
        if (!visible) {
            label->hide();
            continue;
        }
        QWidget* host = label->parentWidget();
        const QPoint topLeft = TipTopLeft(target, PlaceOf(target), label->size());
        label->move(target.widget->mapTo(host, topLeft));
        label->show();
        label->raise();
    }
}

RibbonKeyTips::Place RibbonKeyTips::PlaceOf(const Target& target)
{
    if (qobject_cast<QTabBar*>(target.widget) != nullptr)
        return Place::UnderCaption;
    if (auto* button = qobject_cast<QToolButton*>(target.widget)) {
        if (button->toolButtonStyle() == Qt::ToolButtonTextUnderIcon)
            return Place::BottomEdge;
        // The tab row's buttons stand beside the tabs, and their tips beside the tabs' tips.
        const QWidget* row = button->parentWidget();
        if (row != nullptr && row->findChild<QTabBar*>(QString(), Qt::FindDirectChildrenOnly) != nullptr)
            return Place::UnderCaption;
    }
    return Place::Left;
}

namespace {

// Where a control's caption begins, in the control: after a button's icon, a check box's box.
int TextLeft(const QWidget* widget)
{
    if (const auto* button = qobject_cast<const QToolButton*>(widget)) {
        if (button->toolButtonStyle() == Qt::ToolButtonIconOnly || button->text().isEmpty())
            return widget->width();
        QStyleOptionToolButton option;
        option.initFrom(button);
        const QRect content = button->style()->subControlRect(QStyle::CC_ToolButton, &option,
            QStyle::SC_ToolButton, button);
        // The style puts the caption beside the icon with a few pixels between them.
        return std::max(content.left(), 0) + button->iconSize().width() + 2;
    }
    if (const auto* box = qobject_cast<const QCheckBox*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).left();
    }
    if (qobject_cast<const QLabel*>(widget) != nullptr)
        return 0; // a link is all text: the tip stands before it
    return widget->width(); // a slider has no caption: the tip stands over its start
}

// How far down a caption reaches in a control whose caption is centred in it (a tab) or in the
// room under a large icon.
int CaptionBottom(const QWidget* widget, const QRect& area)
{
    const int textHeight = widget->fontMetrics().height();
    int top = area.top();
    if (const auto* button = qobject_cast<const QToolButton*>(widget))
        if (button->toolButtonStyle() == Qt::ToolButtonTextUnderIcon)
            top += button->iconSize().height() + 4;
    return (top + area.bottom()) / 2 + (textHeight + 1) / 2 + 1;
}

} // namespace

QPoint RibbonKeyTips::TipTopLeft(const Target& target, Place place, QSize tip)
{
    const QRect& area = target.area;
    switch (place) {
    case Place::UnderCaption:
        return { area.center().x() - tip.width() / 2, CaptionBottom(target.widget, area) };
    case Place::BottomEdge:
        return { area.center().x() - tip.width() / 2,
            std::max(area.bottom() - tip.height() / 2, CaptionBottom(target.widget, area)) };
    case Place::Left:
        break;
    }
    // Over the icon, its right edge no further than where the caption begins.
    const int left = std::min(area.left(), area.left() + TextLeft(target.widget) - tip.width());
    return { left, area.center().y() - tip.height() / 2 };
}

void RibbonKeyTips::Hide()
{
    // Hidden at once: a drop-down the tip opened runs its own event loop, and the deletion waits
    // for ours.
    for (QLabel* label : labels_) {
        label->hide();
        label->deleteLater();
    }
    labels_.clear();
    targets_.clear();
    typed_.clear();
    back_ = nullptr;
}

QStringList RibbonKeyTips::shownTips() const
{
    QStringList tips;
    for (std::size_t i = 0; i < targets_.size(); ++i)
        if (targets_[i].widget->isVisible() && targets_[i].tip.startsWith(typed_))
            tips << targets_[i].tip;
    return tips;
}

bool RibbonKeyTips::Type(QChar key)
{
    const QString typed = typed_ + key.toUpper();
    const Target* exact = nullptr;
    int matches = 0;
    for (const Target& target : targets_)
        if (target.widget->isVisible() && target.tip.startsWith(typed)) {
            ++matches;
            if (target.tip == typed)
                exact = &target;
        }
    if (matches == 0)
        return false;
    if (exact != nullptr && matches == 1) {
        const std::function<void()> act = exact->act; // acting replaces the targets
        act();
        return true;
    }
    typed_ = typed;
    PlaceLabels();
    return true;
}

bool RibbonKeyTips::InWindow(QObject* object) const
{
    auto* widget = qobject_cast<QWidget*>(object);
    return widget != nullptr && (widget == &window_ || window_.isAncestorOf(widget) || widget->window() == &window_
               || (widget->window()->parentWidget() != nullptr && window_.isAncestorOf(widget->window())));
}

bool RibbonKeyTips::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // While tips show, letters are theirs, not shortcuts'.
        if (shown() && InWindow(watched)) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress: {
        if (!InWindow(watched))
            break;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Alt && !key->isAutoRepeat()) {
            altAlone_ = key->modifiers() == Qt::AltModifier || key->modifiers() == Qt::NoModifier;
            break;
        }
        altAlone_ = false;
        if (!shown())
            break;
        if (key->key() == Qt::Key_Escape) {
            if (back_) {
                const std::function<void()> back = back_;
                back();
            }
            return true;
        }
        const QString text = key->text();
        if (!text.isEmpty() && text.at(0).isLetterOrNumber())
            Type(text.at(0));
        return true; // nothing else reacts to keys while tips show
    }
    case QEvent::KeyRelease: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Alt && altAlone_ && InWindow(watched)) {
            altAlone_ = false;
            if (shown())
                Hide();
            else
                ShowTop();
            return true;
        }
        break;
    }
    case QEvent::MouseButtonPress:
        altAlone_ = false;
        if (shown())
            Hide();
        break;
    case QEvent::WindowDeactivate:
        if (watched == &window_)
            Hide();
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}
