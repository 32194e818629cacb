#pragma once

#include "app/commands/CommandId.h"
#include "app/commands/CommandTable.h"

#include <QObject>

#include <map>

struct CommandContext;
struct CommandInput;
class QAction;
class QWidget;

// One action per command, made on first use: its caption, icon, tooltip and shortcut from the
// table; triggering it runs the command. Every view (ribbon buttons, drop-down items, the key
// board) shows these actions, so one refresh pass brings them all up to date.
class CommandActions : public QObject {
    Q_OBJECT
public:
    CommandActions(const CommandTable& table, CommandContext& context, QObject* parent = nullptr);

    QAction* Action(CommandId id);
    QAction* Find(CommandId id) const; // null when not made
    // Runs a command as if its control had been used, with what that control sends (a slider's
    // position, a gallery's item, the file under a menu). Every place that runs a command comes
    // here; commandRan follows, for the one refresh pass.
    void Run(CommandId id, const CommandInput& input);
    void Run(CommandId id);
    void Run(CommandId id, int value);
    // Applies every made action's update rule: enabled, pressed, caption.
    void Refresh();
    // Tooltips again from the table, after the interface changed its language (captions follow
    // at every refresh).
    void Retranslate();
    // Every action whose keyboard shortcut works in that place, added to `window` so the keys
    // work wherever the focus is inside it.
    void AddShortcutsTo(QWidget& window, KeyPlace place = KeyPlace::MainWindow);

    const CommandTable& table() const { return table_; }
    CommandContext& context() const { return context_; }

signals:
    void commandRan(CommandId id);

private:
    const CommandTable& table_;
    CommandContext& context_;
    std::map<CommandId, QAction*> actions_;
};
