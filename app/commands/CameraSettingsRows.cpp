#include "app/CameraChoice.h"
#include "app/commands/CommandContext.h"
#include "app/commands/Rows.h"
#include "app/commands/WindowPort.h"
#include "pipeline/capture/CameraList.h"

void AddCameraSettingsRows(CommandTable& table)
{
    // The camera's own controls act on the camera whether or not it runs: on the chosen camera
    // where it is present, else on the first one.
    CommandRow settings { ID_BUTTON_CAMERA_SETTINGS, "摄像头设置...", "T", "摄像头设置",
        "调整摄像头自身的亮度、对比度、曝光、白平衡、对焦等，画面立即随之改变；按摄像头记住，每次开启时应用",
        [](CommandContext& c, const CommandInput&) {
            const std::vector<CameraInfo> present = c.cameras ? c.cameras->Cameras() : std::vector<CameraInfo> {};
            const CameraInfo* camera = FindCamera(present, RememberedCamera());
            if (camera == nullptr && !present.empty())
                camera = &present.front();
            c.window.OpenCameraSettings(camera);
        },
        {} };
    settings.needsDocument = false;
    table.Add(std::move(settings));
}
