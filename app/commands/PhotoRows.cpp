#include "app/CParvelWebcamView.h"
#include "app/CTimeSetDlg.h"
#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"

#include <QCoreApplication>

namespace {

QString Text(const char* source)
{
    return QCoreApplication::translate("Commands", source);
}

// Opens the delay dialog over the workspace view without blocking the event loop; a second
// request while it is open brings the open one forward.
void OpenDelayDialog(CommandContext& c)
{
    for (CTimeSetDlg* open : c.view().findChildren<CTimeSetDlg*>(QString(), Qt::FindDirectChildrenOnly))
        if (open->isVisible()) { // a closed one may wait for its deletion
            open->raise();
            open->activateWindow();
            return;
        }
    auto* dialog = new CTimeSetDlg(c.folders, c.values, &c.view());
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

} // namespace

void AddPhotoRows(CommandTable& table)
{
    CommandRow delay { ID_BUTTON_PHOTO_DELAY, "延时拍照", "D", "拍照选项", "延时拍摄",
        [](CommandContext& c) { c.view().StartCountdown(c.values.delaySeconds); },
        [](const CommandContext& c) {
            const bool counting = c.view().countdownActive();
            CommandState state = Pressed(counting);
            state.caption = counting ? QString::number(c.view().countdownRemaining()) : Text("延时拍照");
            return state;
        } };
    delay.shortcut = "Ctrl+D";
    table.Add(std::move(delay));
    table.Add({ ID_BUTTON_TIME_SET, "延时时间设置", "", "", "", [](CommandContext& c) { OpenDelayDialog(c); }, {} });
}
