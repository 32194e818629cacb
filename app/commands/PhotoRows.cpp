#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "app/commands/WindowPort.h"
#include "pipeline/PictureSession.h"
#include "ui/Sounds.h"

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
    // A choice of the program, not of the picture: it can change with no document open.
    CommandRow sound { ID_SOUND, "声音", "A", "声音", "拍照、连拍和开始录像时响起快门声，倒计时的最后三秒滴答作响；取消勾选则静音",
        [](CommandContext&, const CommandInput&) { SetSoundOn(!SoundOn()); },
        [](const CommandContext&) { return Pressed(SoundOn()); } };
    sound.needsDocument = false;
    table.Add(std::move(sound));
    table.Add({ ID_BUTTON_TIME_SET, "延时时间设置", "", "", "", [](CommandContext& c, const CommandInput&) { c.window.OpenDelayDialog(c.folders, c.values); }, {} });
}
