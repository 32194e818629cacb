#include "app/CameraProbeMessages.h"

#include "pipeline/capture/CameraProbe.h"
#include "ui/MessageBoxes.h"

#include <QCoreApplication>

namespace {

QString Text(const char* source)
{
    return QCoreApplication::translate("CameraProbe", source);
}

} // namespace

void ShowNoCameraMessage(QWidget* parent)
{
    Messages().Question(parent, Text("未找到摄像设备\n内置摄像头是否禁用或USB摄像头未插入?"));
}

void ShowCameraProbeResult(QWidget* parent, const CameraProbeResult& result)
{
    switch (result.outcome) {
    case CameraProbeResult::NoCamera:
        ShowNoCameraMessage(parent);
        return;
    case CameraProbeResult::Stored:
        Messages().Information(parent, Text("已自动检测到设备\n下次启动将您将不会看到此提示框~"));
        return;
    case CameraProbeResult::NotStored:
        // Without the stored mark the check comes back at the next start: say so instead of
        // promising the opposite.
        Messages().Information(parent,
            Text("已自动检测到设备（%1 × %2）\n但配置文件无法写入，未能保存检测结果\n下次启动时将再次检测~")
                .arg(result.width)
                .arg(result.height));
        return;
    }
}
