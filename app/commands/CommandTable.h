#pragma once

#include "app/commands/CommandId.h"

#include <QKeySequence>
#include <QString>

#include <functional>
#include <optional>
#include <vector>

struct CommandContext;
struct CommandInput;

// How a command looks right now.
struct CommandState {
    bool enabled = true;
    std::optional<bool> pressed;    // none: the command has no pressed state
    std::optional<QString> caption; // replaces the row's caption
    std::optional<int> value;       // where a slider stands
    std::optional<QString> reason;  // why it stands so (why it is disabled); shown above its tooltip
    std::vector<QString> items {};  // the files a gallery of pictures offers, in order
};

// Where a row's shortcut works: the main window, or the photo viewer's own window (its keys, as
// the arrows, mean something else there than in the main window).
enum class KeyPlace { MainWindow, Viewer };

// One user command: what it is called and what it does. Texts are UTF-8 source texts, translated
// when shown. A row without an update rule is always enabled and has no pressed state.
struct CommandRow {
    CommandId id;
    const char* caption = "";
    const char* keyTip = "";
    const char* tipTitle = "";
    const char* tipDescription = "";
    std::function<void(CommandContext&, const CommandInput&)> run;
    std::function<CommandState(const CommandContext&)> update;
    // An update rule that depends on what the control sends (the photo under a menu); used
    // instead of update where given.
    std::function<CommandState(const CommandContext&, const CommandInput&)> updateFor {};
    // Rows of the window itself (looks, bars, exit) act without a document; all others need it.
    bool needsDocument = true;
    const char* shortcut = ""; // a key sequence in portable text ("Ctrl+D"), or none
    // Said in the status bar when the shortcut is pressed while the row is disabled, so a key
    // never does nothing without a word; none: the key is silent then.
    const char* whenDisabled = "";
    KeyPlace keyPlace = KeyPlace::MainWindow;
};

// Every command of the program, by id. Tool bars, menus and the ribbon only show rows of it.
class CommandTable {
public:
    void Add(CommandRow row); // a second row with the same id replaces the first
    const CommandRow* Find(CommandId id) const;
    bool Contains(CommandId id) const { return Find(id) != nullptr; }
    std::vector<CommandId> ids() const;
    std::vector<const CommandRow*> rows() const;

    // Runs the handler; false when there is no row, no handler, or no document for a row that
    // needs one.
    bool Run(CommandId id, CommandContext& context, const CommandInput& input) const;
    bool Run(CommandId id, CommandContext& context) const;
    // The update rule's result; the plain state for a row without one or an unknown id; disabled
    // when the row needs the document and there is none.
    CommandState Update(CommandId id, const CommandContext& context, const CommandInput& input) const;
    CommandState Update(CommandId id, const CommandContext& context) const;

    QString Caption(CommandId id) const;
    // The description, a line feed and the title; the caption alone when the row has no tip. A
    // shortcut follows in brackets.
    QString ToolTip(CommandId id) const;
    // The tooltip of the command in this state: its reason, if any, on a line above the tooltip.
    QString ToolTip(CommandId id, const CommandState& state) const;
    QKeySequence Shortcut(CommandId id) const;
    QString WhenDisabled(CommandId id) const; // translated; empty for none

private:
    std::vector<CommandRow> rows_;
};

// The table with every row the program has.
CommandTable BuildCommandTable();
