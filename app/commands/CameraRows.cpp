#include "app/CameraChoice.h"
#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "app/commands/WindowPort.h"
#include "pipeline/PictureSession.h"
#include "pipeline/capture/CameraList.h"
#include "pipeline/PictureCommands.h"
#include "settings/SettingsWorkbook.h"

#include <QCoreApplication>

namespace {

void AddSizeRow(CommandTable& table, CommandId id, const char* caption, DisplaySize sizeMode, const char* shortcut)
{
    CommandRow row { id, caption, "", "", "",
        [sizeMode](CommandContext& c, const CommandInput&) { c.window.SetDisplaySize(sizeMode); },
        [sizeMode](const CommandContext& c) { return Pressed(c.window.displaySize() == sizeMode); } };
    row.shortcut = shortcut;
    table.Add(std::move(row));
}

// The camera chooser: the camera is remembered and opens at its next start; the size goes into
// the workbook as the first-run measurement puts it there, with the mark that spares the next
// start a measurement that would replace it.
void ChooseCamera(CommandContext& c, const CommandInput&)
{
    std::vector<CameraInfo> present = c.cameras ? c.cameras->Cameras() : std::vector<CameraInfo> {};
    const std::optional<CameraAnswer> camera = c.window.AskForCamera(
        std::move(present), RememberedCamera(), cv::Size(c.values.imageWidth, c.values.imageHeight));
    if (!camera)
        return;
    const std::optional<cv::Size> size = camera->size;
    RememberCamera(QString::fromStdString(camera->id));
    if (!size) {
        c.SetStatus(CommandText("已选择摄像头：%1，下次开启摄像机时使用").arg(QString::fromStdString(camera->name)));
        return;
    }
    if (const Status stored = StoreCameraProbe(c.folders, size->width, size->height); !stored) {
        c.SetStatus((stored.code() == StatusCode::ReadOnly ? CommandText("已选择摄像头：%1；配置文件是只读的，画面尺寸未能保存")
                                                           : CommandText("已选择摄像头：%1；配置文件无法写入，画面尺寸未能保存"))
                        .arg(QString::fromStdString(camera->name)));
        return;
    }
    c.SetStatus(CommandText("已选择摄像头：%1（%2 × %3），下次开启摄像机时使用；画面尺寸在下次启动时生效")
                    .arg(QString::fromStdString(camera->name))
                    .arg(size->width)
                    .arg(size->height));
}

} // namespace

void AddCameraRows(CommandTable& table)
{
    CommandRow choice { ID_BUTTON_CAMERA_CHOICE, "选择摄像头", "J", "选择摄像头",
        "列出电脑上的摄像头和它们的画面尺寸；选择在下次开启摄像机时生效", ChooseCamera, {} };
    choice.needsDocument = false;
    table.Add(std::move(choice));

    table.Add({ ID_BUTTON_CAM_MANGER, "开启摄像机", "C", "开启或关闭摄像头", "切换摄像机状态,亦可双击图像区切换",
        [](CommandContext& c, const CommandInput&) {
            if (c.picture().running())
                c.picture().Stop();
            else
                c.picture().Start();
            c.SetStatus(c.picture().running() ? CommandText("摄像头已经打开,可进行其他操作") : CommandText("摄像头已经关闭"));
        },
        [](const CommandContext& c) {
            CommandState state = Pressed(c.cameraRunning());
            state.caption = c.cameraRunning() ? CommandText("关闭摄像机") : CommandText("开启摄像机");
            return state;
        } });

    table.Add({ ID_BUTTON_IMAGE_SIZE, "图像显示尺寸", "Z", "改变图像窗口大小", "选择不同大小", {}, {} });
    AddSizeRow(table, ID_BUTTON_SIZE1, "原始尺寸", kDisplayFull, "Ctrl+1");
    AddSizeRow(table, ID_BUTTON_SIZE2, "中等尺寸(0.75)", kDisplayThreeQuarters, "Ctrl+2");
    AddSizeRow(table, ID_BUTTON_SIZE3, "较小尺寸(0.5)", kDisplayHalf, "Ctrl+3");
    AddSizeRow(table, ID_BUTTON_SIZE_FIT, "适应窗口", kDisplayFit, "Ctrl+4");

    table.Add({ ID_BUTTON_PHOTO_CLICK, "单击图像区拍照", "P", "立即拍照", "单击按钮，高亮后鼠标在图像区单击可拍照",
        [](CommandContext& c, const CommandInput&) {
            const bool on = c.model().settings.Change([](PictureSettings& s) { return TogglePhotoClick(s); });
            c.SetStatus(on ? CommandText("鼠标单击拍照功能已开启，在图像客户区单击即可轻松拍照，试试吧！")
                           : CommandText("鼠标单击拍照功能已暂停"));
        },
        [](const CommandContext& c) { return Pressed(PhotoClickPressed(c.model().settings.Snapshot())); } });

    // A photo at once, with the flash; nothing while the camera is stopped.
    CommandRow now { ID_PHOTO_NOW, "立即拍照", "N", "立即拍照", "拍下当前画面",
        [](CommandContext& c, const CommandInput&) { c.picture().TakePhotoNow(); },
        [](const CommandContext& c) {
            CommandState state;
            state.enabled = c.cameraRunning();
            return state;
        } };
    now.shortcut = "Space";
    now.whenDisabled = "请先开启摄像机";
    table.Add(std::move(now));
}
