#include "app/CCameraDlg.h"
#include "app/CMainFrame.h"
#include "app/CParvelWebcamView.h"
#include "app/CameraChoice.h"
#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "pipeline/CWebcamCtl.h"
#include "pipeline/PictureCommands.h"
#include "settings/SettingsWorkbook.h"
#include "ui/DialogRunner.h"

#include <QCoreApplication>

namespace {

QString Text(const char* source)
{
    return QCoreApplication::translate("Commands", source);
}

void AddSizeRow(CommandTable& table, CommandId id, const char* caption, DisplaySize sizeMode, const char* shortcut)
{
    CommandRow row { id, caption, "", "", "",
        [sizeMode](CommandContext& c) { c.view().SetDisplaySize(sizeMode); },
        [sizeMode](const CommandContext& c) { return Pressed(c.view().sizeMode() == sizeMode); } };
    row.shortcut = shortcut;
    table.Add(std::move(row));
}

// The camera chooser: the camera is remembered and opens at its next start; the size goes into
// the workbook as the first-run measurement puts it there, with the mark that spares the next
// start a measurement that would replace it.
void ChooseCamera(CommandContext& c)
{
    std::vector<CameraInfo> present = c.cameras ? c.cameras->Cameras() : std::vector<CameraInfo> {};
    CCameraDlg dialog(std::move(present), RememberedCamera(), cv::Size(c.values.imageWidth, c.values.imageHeight),
        c.mainFrame);
    if (RunDialog(dialog) != QDialog::Accepted)
        return;
    const CameraInfo* camera = dialog.chosenCamera();
    const std::optional<cv::Size> size = dialog.chosenSize();
    if (camera == nullptr)
        return;
    RememberCamera(QString::fromStdString(camera->id));
    if (!size) {
        c.setStatus(Text("已选择摄像头：%1，下次开启摄像机时使用").arg(QString::fromStdString(camera->name)));
        return;
    }
    if (const Status stored = StoreCameraProbe(c.folders, size->width, size->height); !stored) {
        c.setStatus((stored.code() == StatusCode::ReadOnly ? Text("已选择摄像头：%1；配置文件是只读的，画面尺寸未能保存")
                                                           : Text("已选择摄像头：%1；配置文件无法写入，画面尺寸未能保存"))
                        .arg(QString::fromStdString(camera->name)));
        return;
    }
    c.setStatus(Text("已选择摄像头：%1（%2 × %3），下次开启摄像机时使用；画面尺寸在下次启动时生效")
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
        [](CommandContext& c) {
            if (c.webcam().cameraRunning())
                c.webcam().StopCamera();
            else
                c.webcam().StartCamera();
            c.setStatus(c.webcam().cameraRunning() ? Text("摄像头已经打开,可进行其他操作") : Text("摄像头已经关闭"));
        },
        [](const CommandContext& c) {
            CommandState state = Pressed(c.cameraRunning());
            state.caption = c.cameraRunning() ? Text("关闭摄像机") : Text("开启摄像机");
            return state;
        } });

    table.Add({ ID_BUTTON_IMAGE_SIZE, "图像显示尺寸", "Z", "改变图像窗口大小", "选择不同大小", {}, {} });
    AddSizeRow(table, ID_BUTTON_SIZE1, "原始尺寸", kDisplayFull, "Ctrl+1");
    AddSizeRow(table, ID_BUTTON_SIZE2, "中等尺寸(0.75)", kDisplayThreeQuarters, "Ctrl+2");
    AddSizeRow(table, ID_BUTTON_SIZE3, "较小尺寸(0.5)", kDisplayHalf, "Ctrl+3");
    AddSizeRow(table, ID_BUTTON_SIZE_FIT, "适应窗口", kDisplayFit, "Ctrl+4");

    table.Add({ ID_BUTTON_PHOTO_CLICK, "单击图像区拍照", "P", "立即拍照", "单击按钮，高亮后鼠标在图像区单击可拍照",
        [](CommandContext& c) {
            const char* status = c.model().settings.Change([](PictureSettings& s) { return TogglePhotoClick(s); });
            c.setStatus(Text(status));
        },
        [](const CommandContext& c) { return Pressed(PhotoClickPressed(c.model().settings.Snapshot())); } });

    // A photo at once, with the flash; nothing while the camera is stopped.
    CommandRow now { ID_PHOTO_NOW, "立即拍照", "N", "立即拍照", "拍下当前画面",
        [](CommandContext& c) { c.webcam().TakePhotoNow(); },
        [](const CommandContext& c) {
            CommandState state;
            state.enabled = c.cameraRunning();
            return state;
        } };
    now.shortcut = "Space";
    table.Add(std::move(now));
}
