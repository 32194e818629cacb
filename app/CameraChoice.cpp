#include "app/CameraChoice.h"

#include "app/CameraControlMemory.h"
#include "pipeline/capture/CameraSource.h"

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

namespace {

// The camera's own controls as the user left them, set before each start opens it (also the
// start of a camera that was plugged back in).
void ApplyControlsOf(const std::vector<CameraInfo>& present, const std::string& source)
{
    const std::string device = CameraSource::DevicePath(source);
    for (const CameraInfo& camera : present)
        if (CameraSource::DevicePath(camera.source) == device) {
            ApplyRememberedControls(camera);
            return;
        }
}

} // namespace

FrameSourceFactory MakeChosenCameraFactory(std::shared_ptr<CameraList> cameras, cv::Size configured,
    std::function<QString()> remembered, SourceOpener open)
{
    return [cameras = std::move(cameras), configured, remembered = std::move(remembered), open = std::move(open)] {
        const QString id = remembered ? remembered() : QString();
        const std::vector<CameraInfo> present = cameras ? cameras->Cameras() : std::vector<CameraInfo> {};
        if (!id.isEmpty()) {
            if (const CameraInfo* chosen = FindCamera(present, id)) {
                ApplyControlsOf(present, chosen->source);
                return open(chosen->source, configured)();
            }
        }
        ApplyControlsOf(present, "0");
        return open("0", cv::Size())();
    };
}

FrameSourceFactory WithRememberedControls(FrameSourceFactory sources, std::shared_ptr<CameraList> cameras,
    std::string spec)
{
    return [sources = std::move(sources), cameras = std::move(cameras), spec = std::move(spec)] {
        if (cameras)
            ApplyControlsOf(cameras->Cameras(), spec);
        return sources();
    };
}
