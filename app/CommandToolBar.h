#pragma once

#include "app/commands/CommandId.h"

#include <QToolBar>

#include <map>
#include <vector>

class CommandTable;
struct CommandContext;
class QAction;

// One entry of a tool bar's layout: a command, a drop-down menu of commands, or a separator.
struct ToolBarEntry {
    enum Kind { Command, Menu, Separator };
    Kind kind = Command;
    CommandId id {};
    const char* menuTitle = nullptr; // UTF-8
    std::vector<CommandId> menuItems;

    static ToolBarEntry Button(CommandId id) { return { Command, id, nullptr, {} }; }
    static ToolBarEntry DropDown(const char* title, std::vector<CommandId> items)
    {
        return { Menu, {}, title, std::move(items) };
    }
    static ToolBarEntry Gap() { return { Separator, {}, nullptr, {} }; }
};

// A tool bar that shows rows of the command table: every button and menu item knows only its
// command id; running and refreshing go through the table.
class CommandToolBar : public QToolBar {
    Q_OBJECT
public:
    CommandToolBar(const QString& title, const std::vector<ToolBarEntry>& layout, const CommandTable& table,
        CommandContext& context, QWidget* parent = nullptr);

    // Applies every shown command's update rule: enabled, pressed, caption.
    void Refresh();
    std::vector<CommandId> shownIds() const;
    // The button or menu item of a command (tests); null when not shown.
    QAction* ActionFor(CommandId id) const;

signals:
    // A command ran; the window refreshes every view at once.
    void commandRan(CommandId id);

private:
    QAction* MakeAction(CommandId id, QWidget* owner);

    const CommandTable& table_;
    CommandContext& context_;
    std::map<CommandId, QAction*> actions_;
};
