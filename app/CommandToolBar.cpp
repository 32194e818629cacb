#include "app/CommandToolBar.h"

#include "app/commands/CommandContext.h"
#include "app/commands/CommandTable.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QToolButton>

CommandToolBar::CommandToolBar(const QString& title, const std::vector<ToolBarEntry>& layout,
    const CommandTable& table, CommandContext& context, QWidget* parent)
    : QToolBar(title, parent)
    , table_(table)
    , context_(context)
{
    setMovable(false);
    for (const ToolBarEntry& entry : layout) {
        switch (entry.kind) {
        case ToolBarEntry::Command:
            addAction(MakeAction(entry.id, this));
            break;
        case ToolBarEntry::Separator:
            addSeparator();
            break;
        case ToolBarEntry::Menu: {
            auto* button = new QToolButton(this);
            button->setText(QCoreApplication::translate("Commands", entry.menuTitle));
            button->setPopupMode(QToolButton::InstantPopup);
            auto* menu = new QMenu(button);
            for (CommandId id : entry.menuItems)
                menu->addAction(MakeAction(id, menu));
            button->setMenu(menu);
            addWidget(button);
            break;
        }
        }
    }
    Refresh();
}

QAction* CommandToolBar::MakeAction(CommandId id, QWidget* owner)
{
    auto* action = new QAction(table_.Caption(id), owner);
    action->setToolTip(table_.ToolTip(id));
    action->setCheckable(table_.Update(id, context_).pressed.has_value());
    connect(action, &QAction::triggered, this, [this, id] {
        table_.Run(id, context_);
        emit commandRan(id);
    });
    actions_[id] = action;
    return action;
}

void CommandToolBar::Refresh()
{
    for (const auto& [id, action] : actions_) {
        const CommandState state = table_.Update(id, context_);
        action->setEnabled(state.enabled);
        if (action->isCheckable())
            action->setChecked(state.pressed.value_or(false));
        action->setText(state.caption ? *state.caption : table_.Caption(id));
    }
}

std::vector<CommandId> CommandToolBar::shownIds() const
{
    std::vector<CommandId> ids;
    for (const auto& entry : actions_)
        ids.push_back(entry.first);
    return ids;
}

QAction* CommandToolBar::ActionFor(CommandId id) const
{
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}
