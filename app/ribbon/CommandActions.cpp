#include "app/ribbon/CommandActions.h"

#include "app/commands/CommandContext.h"
#include "app/commands/CommandTable.h"
#include "app/ribbon/CommandIcons.h"

#include <QAction>
#include <QWidget>

CommandActions::CommandActions(const CommandTable& table, CommandContext& context, QObject* parent)
    : QObject(parent)
    , table_(table)
    , context_(context)
{
}

QAction* CommandActions::Find(CommandId id) const
{
    const auto it = actions_.find(id);
    return it == actions_.end() ? nullptr : it->second;
}

QAction* CommandActions::Action(CommandId id)
{
    if (QAction* made = Find(id))
        return made;
    auto* action = new QAction(table_.Caption(id), this);
    action->setIcon(CommandIcon(id));
    action->setToolTip(table_.ToolTip(id));
    action->setIconVisibleInMenu(true);
    // A key that can explain why it does nothing gets an action of its own (below): a disabled
    // action swallows its key without a word.
    if (const QKeySequence keys = table_.Shortcut(id); !keys.isEmpty() && table_.WhenDisabled(id).isEmpty()) {
        action->setShortcut(keys);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    action->setCheckable(table_.Update(id, context_).pressed.has_value());
    // A checkable action flips its own check on a click; the update rule decides instead.
    connect(action, &QAction::triggered, this, [this, id] { Run(id); });
    actions_[id] = action;
    return action;
}

void CommandActions::Run(CommandId id, const CommandInput& input)
{
    table_.Run(id, context_, input);
    emit commandRan(id);
}

void CommandActions::Run(CommandId id)
{
    Run(id, CommandInput {});
}

void CommandActions::Run(CommandId id, int value)
{
    CommandInput input;
    input.value = value;
    Run(id, input);
}

void CommandActions::Refresh()
{
    for (const auto& [id, action] : actions_) {
        const CommandState state = table_.Update(id, context_);
        action->setEnabled(state.enabled);
        if (action->isCheckable())
            action->setChecked(state.pressed.value_or(false));
        const QString caption = state.caption ? *state.caption : table_.Caption(id);
        if (action->text() != caption)
            action->setText(caption);
        const QString tip = table_.ToolTip(id, state);
        if (action->toolTip() != tip)
            action->setToolTip(tip);
    }
}

void CommandActions::Retranslate()
{
    for (const auto& [id, action] : actions_)
        action->setToolTip(table_.ToolTip(id));
    Refresh();
}

void CommandActions::AddShortcutsTo(QWidget& window, KeyPlace place)
{
    for (const CommandRow* row : table_.rows()) {
        if (*row->shortcut == '\0' || row->keyPlace != place)
            continue;
        if (*row->whenDisabled == '\0') {
            window.addAction(Action(row->id));
            continue;
        }
        auto* key = new QAction(this);
        key->setShortcut(table_.Shortcut(row->id));
        key->setShortcutContext(Qt::WindowShortcut);
        const CommandId id = row->id;
        connect(key, &QAction::triggered, this, [this, id] {
            if (table_.Update(id, context_).enabled)
                Run(id);
            else
                context_.SetStatus(table_.WhenDisabled(id));
        });
        window.addAction(key);
    }
}
