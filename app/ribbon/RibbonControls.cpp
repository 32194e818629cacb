#include "app/ribbon/RibbonControls.h"

#include "app/commands/CommandContext.h"
#include "app/commands/CommandTable.h"
#include "app/ribbon/ColourPalette.h"
#include "app/ribbon/CommandActions.h"
#include "app/ribbon/CommandIcons.h"
#include "app/ribbon/BackdropGallery.h"
#include "app/ribbon/PenGallery.h"
#include "app/ribbon/PictureGallery.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QCursor>
#include <QHoverEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QSizeGrip>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWidgetAction>

namespace {

QString RibbonText(const QString& source)
{
    return QCoreApplication::translate("Ribbon", source.toUtf8().constData());
}

QString KeyTipOf(const CommandActions& actions, CommandId id)
{
    const CommandRow* row = actions.table().Find(id);
    return row == nullptr ? QString() : QString::fromUtf8(row->keyTip);
}

QMenu* ItemsMenu(const std::vector<CommandId>& items, CommandActions& actions, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    for (CommandId item : items) {
        QAction* action = actions.Action(item);
        // The style marks a checked item with an icon by a faint frame only: the check is drawn in.
        if (action->isCheckable())
            action->setIcon(ChoiceIcon(item));
        menu->addAction(action);
    }
    return menu;
}

// A button showing a command; with items it drops them down, beside its own command when it has
// one (a split button), instead of it otherwise.
ShownControl Button(const ControlLayout& c, CommandActions& actions, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setDefaultAction(actions.Action(*c.id));
    const bool large = c.kind == ControlLayout::Large;
    button->setToolButtonStyle(c.kind == ControlLayout::Icon ? Qt::ToolButtonIconOnly
            : large                                          ? Qt::ToolButtonTextUnderIcon
                                                             : Qt::ToolButtonTextBesideIcon);
    button->setIconSize(QSize(large ? kLargeIcon : kSmallIcon, large ? kLargeIcon : kSmallIcon));
    button->setObjectName(large ? QStringLiteral("ribbonLarge") : QStringLiteral("ribbonSmall"));
    bool dropDownOnly = false;
    if (!c.items.empty()) {
        const CommandRow* row = actions.table().Find(*c.id);
        dropDownOnly = row == nullptr || !row->run;
        button->setMenu(ItemsMenu(c.items, actions, button));
        button->setPopupMode(dropDownOnly ? QToolButton::InstantPopup : QToolButton::MenuButtonPopup);
        ForgetHoverWhenMenuCloses(button);
    }
    if (large)
        button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    if (large && button->popupMode() == QToolButton::MenuButtonPopup) {
        // The split part's arrow stands beside the caption: room for both.
        const int arrow = button->style()->pixelMetric(QStyle::PM_MenuButtonIndicator, nullptr, button);
        button->setMinimumWidth(button->fontMetrics().horizontalAdvance(button->text()) + 2 * arrow + 24);
    }
    ShownControl shown { c.id, button, KeyTipOf(actions, *c.id), {}, {} };
    shown.activate = [button, dropDownOnly] {
        if (dropDownOnly)
            button->showMenu();
        else
            button->defaultAction()->trigger();
    };
    return shown;
}

ShownControl Check(const ControlLayout& c, CommandActions& actions, QWidget* parent)
{
    const CommandId id = *c.id;
    auto* box = new QCheckBox(actions.table().Caption(id), parent);
    box->setFocusPolicy(Qt::NoFocus);
    box->setToolTip(actions.table().ToolTip(id));
    // The update rule decides the tick, not the click.
    QObject::connect(box, &QCheckBox::clicked, box, [&actions, id] { actions.Run(id); });
    ShownControl shown { id, box, KeyTipOf(actions, id), {}, [box] { box->click(); } };
    shown.refresh = [box, &actions, id] {
        const CommandState state = actions.table().Update(id, actions.context());
        box->setEnabled(state.enabled);
        box->setChecked(state.pressed.value_or(false));
    };
    return shown;
}

ShownControl Slider(const ControlLayout& c, CommandActions& actions, QWidget* parent)
{
    const CommandId id = *c.id;
    auto* slider = new QSlider(Qt::Horizontal, parent);
    slider->setRange(c.minimum, c.maximum);
    slider->setValue(c.start);
    slider->setFixedWidth(c.width);
    slider->setToolTip(actions.table().ToolTip(id));
    QObject::connect(slider, &QSlider::valueChanged, slider, [&actions, id](int position) { actions.Run(id, position); });
    ShownControl shown { id, slider, KeyTipOf(actions, id), {}, [slider] { slider->setFocus(Qt::ShortcutFocusReason); } };
    shown.refresh = [slider, &actions, id] {
        const CommandState state = actions.table().Update(id, actions.context());
        slider->setEnabled(state.enabled);
        const QString tip = actions.table().ToolTip(id, state);
        if (slider->toolTip() != tip)
            slider->setToolTip(tip);
        if (state.value && *state.value != slider->value() && !slider->isSliderDown()) {
            const QSignalBlocker quiet(slider); // moving it back is not the user's move
            slider->setValue(*state.value);
        }
    };
    return shown;
}

// A small button with a caption and a drop-down of its own (not a menu of commands).
QToolButton* SmallDropButton(CommandId id, const CommandActions& actions, QToolButton::ToolButtonPopupMode mode,
    QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setObjectName(QStringLiteral("ribbonSmall"));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setIconSize(QSize(kSmallIcon, kSmallIcon));
    button->setText(actions.table().Caption(id));
    button->setToolTip(actions.table().ToolTip(id));
    button->setPopupMode(mode);
    return button;
}

// The button part sends the current colour; the drop-down picks another and sends it.
ShownControl Colour(const ControlLayout& c, CommandActions& actions, QWidget* parent)
{
    const CommandId id = *c.id;
    QToolButton* button = SmallDropButton(id, actions, QToolButton::MenuButtonPopup, parent);
    auto current = std::make_shared<QColor>(Qt::red);
    button->setIcon(ColourButtonIcon(id, *current));
    auto* menu = new QMenu(button);
    auto* palette = new ColourPalette(c.perRow, menu);
    auto* holder = new QWidgetAction(menu);
    holder->setDefaultWidget(palette);
    menu->addAction(holder);
    button->setMenu(menu);
    ForgetHoverWhenMenuCloses(button);
    auto send = [&actions, id, current] { actions.Run(id, int(ColourButtonValue(*current))); };
    QObject::connect(button, &QToolButton::clicked, button, send);
    QObject::connect(palette, &ColourPalette::picked, button, [button, menu, current, send, id](QColor colour) {
        *current = colour;
        button->setIcon(ColourButtonIcon(id, colour));
        menu->close();
        send();
    });
    ShownControl shown { id, button, KeyTipOf(actions, id), {}, [button] { button->showMenu(); } };
    shown.refresh = [button, &actions, id] { button->setEnabled(actions.table().Update(id, actions.context()).enabled); };
    return shown;
}

// A drop-down holding a list of pictures (with a grip to make it larger when asked), for the
// button's menu; the list is made by `make` inside it. Items added to the menu come below.
template <typename List, typename Make>
List* PictureDropDown(QToolButton* button, bool grip, Make make)
{
    auto* menu = new QMenu(button);
    auto* box = new QWidget(menu);
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(0);
    List* list = make(box);
    layout->addWidget(list, 1);
    if (grip)
        layout->addWidget(new QSizeGrip(box), 0, Qt::AlignBottom | Qt::AlignRight);
    auto* holder = new QWidgetAction(menu);
    holder->setDefaultWidget(box);
    menu->addAction(holder);
    button->setMenu(menu);
    ForgetHoverWhenMenuCloses(button);
    return list;
}

// The pen widths as a gallery of pictures in a drop-down the user can make larger.
ShownControl Gallery(const ControlLayout& c, CommandActions& actions, QWidget* parent)
{
    const CommandId id = *c.id;
    QToolButton* button = SmallDropButton(id, actions, QToolButton::InstantPopup, parent);
    button->setIcon(CommandIcon(id));

    auto* list = PictureDropDown<PenGallery>(button, true, [](QWidget* box) { return new PenGallery(box); });
    QMenu* menu = button->menu();
    QObject::connect(list, &QListWidget::itemClicked, list, [list, menu, &actions, id](QListWidgetItem* item) {
        menu->close();
        actions.Run(id, list->row(item));
    });
    ShownControl shown { id, button, KeyTipOf(actions, id), {}, [button] { button->showMenu(); } };
    shown.refresh = [list, button, &actions, id] {
        const CommandState state = actions.table().Update(id, actions.context());
        button->setEnabled(state.enabled);
        if (state.value && *state.value != list->currentRow()) {
            const QSignalBlocker quiet(list);
            list->setCurrentRow(*state.value);
        }
    };
    return shown;
}

// Pictures of the files the command offers, in a drop-down listed afresh each time it opens;
// choosing one sends its path. Items below the gallery are commands of their own.
ShownControl FilePictures(const ControlLayout& c, CommandActions& actions, QWidget* parent)
{
    const CommandId id = *c.id;
    QToolButton* button = SmallDropButton(id, actions, QToolButton::InstantPopup, parent);
    button->setIcon(CommandIcon(id));

    auto* list = PictureDropDown<BackdropGallery>(button, true, [](QWidget* box) { return new BackdropGallery(box); });
    QMenu* menu = button->menu();
    for (CommandId item : c.items)
        menu->addAction(actions.Action(item));
    const auto show = [list, button, &actions, id] {
        const CommandState state = actions.table().Update(id, actions.context());
        button->setEnabled(state.enabled);
        list->ShowFiles(state.items, state.value.value_or(-1));
    };
    QObject::connect(menu, &QMenu::aboutToShow, list, show);
    QObject::connect(list, &QListWidget::itemClicked, list, [list, menu, &actions, id](QListWidgetItem* item) {
        menu->close();
        CommandInput input;
        input.value = list->row(item);
        input.path = list->path(input.value);
        actions.Run(id, input);
    });
    ShownControl shown { id, button, KeyTipOf(actions, id), {}, [button] { button->showMenu(); } };
    shown.refresh = [button, &actions, id] { button->setEnabled(actions.table().Update(id, actions.context()).enabled); };
    return shown;
}

// Commands chosen by their pictures: a large button naming the current one drops down a gallery
// of its items; a cell runs its item's row, and the pressed item is the one marked.
ShownControl Pictures(const ControlLayout& c, CommandActions& actions, QWidget* parent)
{
    const CommandId id = *c.id;
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setObjectName(QStringLiteral("ribbonLarge"));
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(kLargeIcon, kLargeIcon));
    button->setIcon(CommandIcon(id));
    button->setText(actions.table().Caption(id));
    button->setToolTip(actions.table().ToolTip(id));
    button->setPopupMode(QToolButton::InstantPopup);
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);

    auto* list = PictureDropDown<PictureGallery>(button, false, [&c, &actions](QWidget* box) {
        auto* gallery = new PictureGallery(box);
        for (CommandId item : c.items) {
            // Each cell shows its row's action, as a menu item would: the keys and refreshes know it.
            const QAction* action = actions.Action(item);
            auto* cell = new QListWidgetItem(action->icon(), action->text(), gallery);
            cell->setToolTip(action->toolTip());
        }
        gallery->setMinimumSize(gallery->sizeHint());
        return gallery;
    });
    QMenu* menu = button->menu();
    const std::vector<CommandId> items = c.items;
    QObject::connect(list, &QListWidget::itemClicked, list, [list, menu, &actions, items](QListWidgetItem* cell) {
        menu->close();
        const int row = list->row(cell);
        if (row >= 0 && row < int(items.size()))
            actions.Run(items[std::size_t(row)]);
    });
    ShownControl shown { id, button, KeyTipOf(actions, id), {}, [button] { button->showMenu(); } };
    shown.refresh = [list, button, &actions, id, items] {
        const CommandState state = actions.table().Update(id, actions.context());
        button->setEnabled(state.enabled);
        const QString caption = state.caption ? *state.caption : actions.table().Caption(id);
        if (button->text() != caption)
            button->setText(caption);
        for (std::size_t i = 0; i < items.size(); ++i) {
            const bool pressed = actions.table().Update(items[i], actions.context()).pressed.value_or(false);
            QListWidgetItem* cell = list->item(int(i));
            if (pressed != cell->isSelected()) {
                const QSignalBlocker quiet(list);
                cell->setSelected(pressed);
                if (pressed)
                    list->setCurrentItem(cell);
            }
            const QString text = actions.table().Caption(items[i]);
            if (cell->text() != text)
                cell->setText(text);
        }
    };
    return shown;
}

ShownControl Link(const ControlLayout& c, CommandActions& actions, QWidget* parent)
{
    const CommandId id = *c.id;
    auto* label = new QLabel(parent);
    label->setText(QStringLiteral("<a href=\"#\">%1</a>").arg(RibbonText(c.text).toHtmlEscaped()));
    label->setTextFormat(Qt::RichText);
    label->setToolTip(actions.table().ToolTip(id));
    QObject::connect(label, &QLabel::linkActivated, label, [&actions, id] { actions.Run(id); });
    return { id, label, KeyTipOf(actions, id), {}, [&actions, id] { actions.Run(id); } };
}

ShownControl Menu(const ControlLayout& c, CommandActions& actions, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setText(RibbonText(c.text));
    button->setPopupMode(QToolButton::InstantPopup);
    button->setMenu(ItemsMenu(c.items, actions, button));
    ForgetHoverWhenMenuCloses(button);
    return { {}, button, c.keyTip, {}, [button] { button->showMenu(); } };
}

ShownControl Label(const ControlLayout& c, QWidget* parent)
{
    auto* label = new QLabel(RibbonText(c.text), parent);
    return { {}, label, {}, {}, {} };
}

} // namespace

void ForgetHoverWhenMenuCloses(QToolButton* button)
{
    // The open menu takes the pointer, so the button never hears it leave and would stay drawn
    // hovered once the menu closes somewhere else.
    QObject::connect(button->menu(), &QMenu::aboutToHide, button, [button] {
        QMetaObject::invokeMethod(button, [button] {
            if (button->rect().contains(button->mapFromGlobal(QCursor::pos())))
                return;
            QHoverEvent hoverLeave(QEvent::HoverLeave, QPointF(-1, -1), QPointF(-1, -1), QPointF(-1, -1));
            QCoreApplication::sendEvent(button, &hoverLeave);
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(button, &leave);
            button->setAttribute(Qt::WA_UnderMouse, false);
            button->update();
        }, Qt::QueuedConnection);
    });
}

ShownControl MakeControl(const ControlLayout& c, CommandActions& actions, QWidget* parent)
{
    switch (c.kind) {
    case ControlLayout::Large:
    case ControlLayout::Small:
    case ControlLayout::Icon:
        return Button(c, actions, parent);
    case ControlLayout::Check:
        return Check(c, actions, parent);
    case ControlLayout::Slider:
        return Slider(c, actions, parent);
    case ControlLayout::Colour:
        return Colour(c, actions, parent);
    case ControlLayout::Gallery:
        return Gallery(c, actions, parent);
    case ControlLayout::Pictures:
        return Pictures(c, actions, parent);
    case ControlLayout::FilePictures:
        return FilePictures(c, actions, parent);
    case ControlLayout::Link:
        return Link(c, actions, parent);
    case ControlLayout::Menu:
        return Menu(c, actions, parent);
    case ControlLayout::Label:
    case ControlLayout::Separator:
        break;
    }
    return Label(c, parent);
}
