#pragma once

#include "pipeline/capture/CameraModes.h"

#include <opencv2/core.hpp>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// A camera present on this computer, as the chooser lists it.
struct CameraInfo {
    std::string id;     // stays the same across starts and plugging: what the choice remembers
    std::string source; // what opens it: a camera index ("0") or a device path
    std::string name;
    std::vector<cv::Size> sizes; // the picture sizes it offers, smallest first
    std::vector<CameraMode> modes; // its table of formats, sizes and rates (empty where unknown)
};

// The cameras present, asked of the system each time.
class CameraList {
public:
    virtual ~CameraList() = default;
    virtual std::vector<CameraInfo> Cameras() = 0;
};

// What one video device node reports about itself (on Linux, through V4L2).
struct VideoDeviceReport {
    std::string path; // "/dev/video0"
    std::string card; // the device's own name
    std::string busInfo;
    bool capture = false; // delivers pictures (a camera's metadata node does not)
    // The frame sizes over every pixel format: a discrete size, or a stepwise range given by
    // its smallest and largest size.
    struct FrameSizes {
        bool stepwise = false;
        cv::Size size;    // discrete
        cv::Size minimum; // stepwise
        cv::Size maximum;
        std::uint32_t pixelFormat = 0;
        bool compressed = false;
        std::vector<double> rates; // of a discrete size, frames a second; empty when not said
    };
    std::vector<FrameSizes> frameSizes;
};

// The video device nodes and what they report; the system's, or a fake in tests.
class VideoDevices {
public:
    virtual ~VideoDevices() = default;
    virtual std::vector<std::string> Paths() = 0;
    // False when the node cannot be opened or does not answer.
    virtual bool Query(const std::string& path, VideoDeviceReport& report) = 0;
};

// Cameras from video device nodes: only nodes that capture, in the order of their numbers
// (video2 before video10), each with its sizes without repeats, smallest first, and its table.
class DeviceCameraList : public CameraList {
public:
    explicit DeviceCameraList(std::unique_ptr<VideoDevices> devices) : devices_(std::move(devices)) {}
    std::vector<CameraInfo> Cameras() override;

private:
    std::unique_ptr<VideoDevices> devices_;
};

// The common picture sizes a stepwise range offers, with its largest size.
std::vector<cv::Size> SizesInRange(cv::Size minimum, cv::Size maximum);

// The device nodes of the system: V4L2 on Linux; none elsewhere.
std::unique_ptr<VideoDevices> MakeSystemVideoDevices();

// The table of the camera at a device node (a camera index N is /dev/videoN); empty when it
// does not answer.
std::vector<CameraMode> QueryCameraModes(VideoDevices& devices, const std::string& source);

// The system's cameras: V4L2 device nodes on Linux; elsewhere the camera indexes 0 to 3 that
// OpenCV opens, each with the one size it delivers.
std::unique_ptr<CameraList> MakeSystemCameraList();
