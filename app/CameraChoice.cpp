#include "app/CameraChoice.h"

#include <QSettings>

namespace {
const char* const kCameraKey = "Camera";
} // namespace

QString RememberedCamera()
{
    return QSettings().value(kCameraKey).toString();
}

void RememberCamera(const QString& id)
{
    QSettings().setValue(kCameraKey, id);
}

const CameraInfo* FindCamera(const std::vector<CameraInfo>& cameras, const QString& id)
{
    const std::string wanted = id.toStdString();
    for (const CameraInfo& camera : cameras)
        if (camera.id == wanted)
            return &camera;
    return nullptr;
}

FrameSourceFactory MakeChosenCameraFactory(std::shared_ptr<CameraList> cameras, cv::Size configured,
    std::function<QString()> remembered, SourceOpener open)
{
    return [cameras = std::move(cameras), configured, remembered = std::move(remembered), open = std::move(open)] {
        const QString id = remembered ? remembered() : QString();
        if (!id.isEmpty() && cameras) {
            const std::vector<CameraInfo> present = cameras->Cameras();
            if (const CameraInfo* chosen = FindCamera(present, id))
                return open(chosen->source, configured)();
        }
        return open("0", cv::Size())();
    };
}
