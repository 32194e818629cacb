#pragma once

#include "pipeline/capture/CameraList.h"
#include "pipeline/capture/FrameSource.h"

#include <QString>

#include <functional>
#include <memory>

// The camera the user chose, kept in the settings profile by its identifier; empty when none
// was ever chosen.
QString RememberedCamera();
void RememberCamera(const QString& id);

// The camera among those present with this identifier; null when it is absent.
const CameraInfo* FindCamera(const std::vector<CameraInfo>& cameras, const QString& id);

// Frame sources for the chosen camera: each start of the camera looks the remembered camera up
// among those present, sets the camera's own controls as remembered, and opens it asking for
// the configured picture size. With no choice, or
// with the chosen camera unplugged, camera 0 opens as it always did.
// `open` makes the sources for a source text and a requested size (tests watch it).
using SourceOpener = std::function<FrameSourceFactory(const std::string& spec, cv::Size requested)>;
FrameSourceFactory MakeChosenCameraFactory(std::shared_ptr<CameraList> cameras, cv::Size configured,
    std::function<QString()> remembered = RememberedCamera, SourceOpener open = MakeFrameSourceFactory);

// Sources for a camera named on the command line (an index or a device node): each start sets
// that camera's remembered controls first, when it is a listed camera.
FrameSourceFactory WithRememberedControls(FrameSourceFactory sources, std::shared_ptr<CameraList> cameras,
    std::string spec);
