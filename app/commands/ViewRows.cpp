#include "app/commands/Rows.h"
#include "pipeline/PictureSession.h"

#include <QClipboard>
#include <QGuiApplication>

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
    // The picture cannot be cut from or pasted into: no handlers.
    table.Add({ ID_EDIT_CUT, "剪切(&T)\tCtrl+X", "", "", "", {}, Unhandled });
    // The picture a photo would save (frames, stickers, doodle; no marks of the screen alone),
    // taken from the next composed picture.
    CommandRow copy { ID_EDIT_COPY, "复制(&C)\tCtrl+C", "", "", "",
        [](CommandContext& c, const CommandInput&) {
            c.picture().RequestPicture([&c](const QImage& picture) {
                QGuiApplication::clipboard()->setImage(picture);
                c.SetStatus(CommandText("画面已复制到剪贴板"));
            });
        },
        [](const CommandContext& c) {
            CommandState state;
            state.enabled = c.cameraRunning();
            return state;
        } };
    copy.shortcut = "Ctrl+C";
    table.Add(std::move(copy));
    table.Add({ ID_EDIT_PASTE, "粘贴(&P)\tCtrl+V", "", "", "", {}, Unhandled });
}
