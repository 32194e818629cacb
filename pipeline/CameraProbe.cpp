#include "pipeline/CameraProbe.h"

#include "ui/MessageBoxes.h"

#include <QCoreApplication>
#include <opencv2/core.hpp>

#include <memory>

namespace {

// A camera that has just been opened sometimes hands out a few empty frames first.
constexpr int kReadAttempts = 5;

QString Text(const char* source)
{
    return QCoreApplication::translate("CameraProbe", source);
}

} // namespace

CameraProbeResult ProbeCamera(const FrameSourceFactory& sources, const CameraProbeStore& store)
{
    CameraProbeResult result;
    std::unique_ptr<FrameSource> source = sources ? sources() : nullptr;
    if (!source)
        return result;
    if (!source->Open()) {
        source->Release();
        return result;
    }
    cv::Mat frame;
    for (int i = 0; i < kReadAttempts && !(source->Read(frame) && !frame.empty()); ++i) {
    }
    cv::Size size = source->FrameSize();
    if (size.width <= 0 || size.height <= 0)
        size = frame.empty() ? cv::Size() : frame.size();
    // Let go of the camera before anything else: the program opens it again when the user starts it.
    source->Release();
    source.reset();
    if (size.width <= 0 || size.height <= 0)
        return result; // nothing worth storing: the next start measures again
    result.width = size.width;
    result.height = size.height;
    result.outcome = store && store(size.width, size.height) ? CameraProbeResult::Stored : CameraProbeResult::NotStored;
    return result;
}

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
