#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "pipeline/PictureSession.h"

#include <QCoreApplication>

namespace {

CommandState EnabledWhileRunning(const CommandContext& c)
{
    CommandState state;
    state.enabled = c.cameraRunning();
    return state;
}

// A length is chosen from the drop-down or by its key, which works with the drop-down closed:
// the status bar says what was chosen.
void AddGifSecondsRow(CommandTable& table, CommandId id, const char* caption, const char* description, int seconds,
    const char* shortcut)
{
    CommandRow row { id, caption, "", "动图长度", description,
        [seconds](CommandContext& c, const CommandInput&) {
            c.picture().SetGifSeconds(seconds);
            c.SetStatus(CommandText("动图长度：%1 秒").arg(seconds));
        },
        [seconds](const CommandContext& c) { return Pressed(c.picture().gifSeconds() == seconds); } };
    row.shortcut = shortcut;
    table.Add(std::move(row));
}

} // namespace

void AddRecordRows(CommandTable& table)
{
    CommandRow video { ID_RECORD_VIDEO, "开始录像", "S", "录像", "把画面连同特效、相框和挂件录成视频，再按一次停止",
        [](CommandContext& c, const CommandInput&) {
            if (!c.cameraRunning())
                return;
            if (c.picture().recording()) {
                c.picture().StopRecording(); // the outcome follows in the status bar
                return;
            }
            c.SetStatus(c.picture().StartRecording().message);
        },
        [](const CommandContext& c) {
            CommandState state = EnabledWhileRunning(c);
            const bool recording = c.hasDocument() && c.picture().recording();
            state.pressed = recording;
            state.caption = recording ? CommandText("停止录像") : CommandText("开始录像");
            return state;
        } };
    video.shortcut = "Ctrl+R";
    video.whenDisabled = "请先开启摄像机";
    table.Add(std::move(video));

    CommandRow gif { ID_RECORD_GIF, "动图", "G", "动图",
        "把接下来几秒的画面录成循环播放的动图；长度在下拉菜单中选，或按 Ctrl+Shift+2、3、5",
        [](CommandContext& c, const CommandInput&) {
            if (!c.cameraRunning())
                return;
            PictureSession& session = c.picture();
            QString message;
            if (session.StartGif(message) == PictureSession::GifStart::Started)
                message = CommandText("正在录制 %1 秒动图").arg(session.gifSeconds());
            c.SetStatus(message);
        },
        [](const CommandContext& c) {
            CommandState state = EnabledWhileRunning(c);
            state.pressed = c.hasDocument() && c.model().gif.collecting();
            return state;
        } };
    gif.shortcut = "Ctrl+G";
    gif.whenDisabled = "请先开启摄像机";
    table.Add(std::move(gif));
    AddGifSecondsRow(table, ID_GIF_SECONDS_2, "2 秒", "接下来录制的动图长 2 秒", 2, "Ctrl+Shift+2");
    AddGifSecondsRow(table, ID_GIF_SECONDS_3, "3 秒", "接下来录制的动图长 3 秒", 3, "Ctrl+Shift+3");
    AddGifSecondsRow(table, ID_GIF_SECONDS_5, "5 秒", "接下来录制的动图长 5 秒", 5, "Ctrl+Shift+5");

    CommandRow burst { ID_BURST_STRIP, "四连拍", "B", "四连拍", "倒计时后连拍四张，并拼成一张四格照片",
        [](CommandContext& c, const CommandInput&) {
            if (c.picture().StartBurst(c.values.delaySeconds))
                c.SetStatus(CommandText("四连拍：倒计时结束后连拍四张"));
        },
        [](const CommandContext& c) {
            CommandState state = EnabledWhileRunning(c);
            state.pressed = c.hasDocument() && c.picture().burstActive();
            return state;
        } };
    burst.shortcut = "Ctrl+B";
    burst.whenDisabled = "请先开启摄像机";
    table.Add(std::move(burst));
}
