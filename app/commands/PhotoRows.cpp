#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "app/commands/WindowPort.h"
#include "pipeline/PictureSession.h"

#include <QCoreApplication>

void AddPhotoRows(CommandTable& table)
{
    CommandRow delay { ID_BUTTON_PHOTO_DELAY, "延时拍照", "D", "拍照选项", "延时拍摄",
        [](CommandContext& c, const CommandInput&) {
            if (!c.picture().StartCountdown(c.values.delaySeconds))
                c.SetStatus(CommandText("请先开启摄像机"));
        },
        [](const CommandContext& c) {
            const bool counting = c.picture().countdownActive();
            CommandState state = Pressed(counting);
            state.caption = counting ? QString::number(c.picture().countdownRemaining()) : CommandText("延时拍照");
            return state;
        } };
    delay.shortcut = "Ctrl+D";
    table.Add(std::move(delay));
    table.Add({ ID_BUTTON_TIME_SET, "延时时间设置", "", "", "", [](CommandContext& c, const CommandInput&) { c.window.OpenDelayDialog(c.folders, c.values); }, {} });
}
