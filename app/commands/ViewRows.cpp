#include "app/commands/Rows.h"

namespace {

// A command shown for the user's orientation that nothing in the program carries out.
CommandState Unhandled(const CommandContext&)
{
    CommandState state;
    state.enabled = false;
    return state;
}

} // namespace

void AddViewRows(CommandTable& table)
{
    // The picture is not a document one can cut from or paste into: no handlers.
    table.Add({ ID_EDIT_CUT, "剪切(&T)\tCtrl+X", "", "", "", {}, Unhandled });
    table.Add({ ID_EDIT_COPY, "复制(&C)\tCtrl+C", "", "", "", {}, Unhandled });
    table.Add({ ID_EDIT_PASTE, "粘贴(&P)\tCtrl+V", "", "", "", {}, Unhandled });
}
