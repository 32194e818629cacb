#include "pipeline/capture/CameraList.h"

#include <opencv2/videoio.hpp>

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <regex>
#include <set>

#if defined(__linux__)
#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace {

// The number that ends a node's name, for ordering video2 before video10; -1 when none.
long NodeNumber(const std::string& path)
{
    static const std::regex trailing("([0-9]+)$");
    std::smatch m;
    return std::regex_search(path, m, trailing) ? std::stol(m[1].str()) : -1;
}

// OpenCV opens /dev/videoN most surely by its index.
std::string SourceFor(const std::string& path)
{
    static const std::regex node("^/dev/video([0-9]+)$");
    std::smatch m;
    return std::regex_match(path, m, node) ? m[1].str() : path;
}

bool SmallerArea(const cv::Size& a, const cv::Size& b)
{
    return std::pair(a.area(), a.width) < std::pair(b.area(), b.width);
}

#if defined(__linux__)
// Retries a call that a signal interrupted, as V4L2 asks.
int Ioctl(int fd, unsigned long request, void* argument)
{
    int result;
    do {
        result = ioctl(fd, request, argument);
    } while (result == -1 && errno == EINTR);
    return result;
}

// The rates a format offers at a size: each discrete interval, or the fastest and slowest
// of a range.
std::vector<double> FrameRates(int fd, std::uint32_t pixelFormat, std::uint32_t width, std::uint32_t height)
{
    std::vector<double> rates;
    auto add = [&rates](const v4l2_fract& interval) {
        if (interval.numerator > 0 && interval.denominator > 0)
            rates.push_back(double(interval.denominator) / double(interval.numerator));
    };
    for (std::uint32_t i = 0; i < 64; ++i) {
        v4l2_frmivalenum interval {};
        interval.index = i;
        interval.pixel_format = pixelFormat;
        interval.width = width;
        interval.height = height;
        if (Ioctl(fd, VIDIOC_ENUM_FRAMEINTERVALS, &interval) != 0)
            break;
        if (interval.type == V4L2_FRMIVAL_TYPE_DISCRETE) {
            add(interval.discrete);
            continue;
        }
        add(interval.stepwise.min);
        add(interval.stepwise.max);
        break; // a range is the only answer
    }
    return rates;
}

class V4l2Devices : public VideoDevices {
public:
    std::vector<std::string> Paths() override
    {
        std::vector<std::string> paths;
        std::error_code error;
        for (const auto& entry : std::filesystem::directory_iterator("/dev", error)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind("video", 0) == 0 && name.size() > 5
                && std::all_of(name.begin() + 5, name.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
                paths.push_back(entry.path().string());
        }
        return paths;
    }

    bool Query(const std::string& path, VideoDeviceReport& report) override
    {
        // Non-blocking and without changing anything: a camera in use elsewhere answers too.
        const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK);
        if (fd < 0)
            return false;
        v4l2_capability caps {};
        if (Ioctl(fd, VIDIOC_QUERYCAP, &caps) != 0) {
            ::close(fd);
            return false;
        }
        report.path = path;
        report.card.assign(reinterpret_cast<const char*>(caps.card), strnlen(reinterpret_cast<const char*>(caps.card), sizeof caps.card));
        report.busInfo.assign(reinterpret_cast<const char*>(caps.bus_info),
            strnlen(reinterpret_cast<const char*>(caps.bus_info), sizeof caps.bus_info));
        const std::uint32_t nodeCaps = (caps.capabilities & V4L2_CAP_DEVICE_CAPS) != 0 ? caps.device_caps : caps.capabilities;
        report.capture = (nodeCaps & V4L2_CAP_VIDEO_CAPTURE) != 0;
        // A bounded walk: a driver that never says "no more" must not hang the chooser.
        for (std::uint32_t f = 0; report.capture && f < 64; ++f) {
            v4l2_fmtdesc format {};
            format.index = f;
            format.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
            if (Ioctl(fd, VIDIOC_ENUM_FMT, &format) != 0)
                break;
            for (std::uint32_t s = 0; s < 256; ++s) {
                v4l2_frmsizeenum size {};
                size.index = s;
                size.pixel_format = format.pixelformat;
                if (Ioctl(fd, VIDIOC_ENUM_FRAMESIZES, &size) != 0)
                    break;
                VideoDeviceReport::FrameSizes entry;
                entry.pixelFormat = format.pixelformat;
                entry.compressed = (format.flags & V4L2_FMT_FLAG_COMPRESSED) != 0;
                if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
                    entry.size = { int(size.discrete.width), int(size.discrete.height) };
                    entry.rates = FrameRates(fd, format.pixelformat, size.discrete.width, size.discrete.height);
                    report.frameSizes.push_back(entry);
                    continue;
                }
                entry.stepwise = true;
                entry.minimum = { int(size.stepwise.min_width), int(size.stepwise.min_height) };
                entry.maximum = { int(size.stepwise.max_width), int(size.stepwise.max_height) };
                report.frameSizes.push_back(entry);
                break; // a stepwise answer is the only one for its format
            }
        }
        ::close(fd);
        return true;
    }
};
#endif

// Without V4L2: whichever of the first indexes OpenCV opens, with the size it delivers.
class IndexCameraList : public CameraList {
public:
    std::vector<CameraInfo> Cameras() override
    {
        std::vector<CameraInfo> found;
        for (int index = 0; index < 4; ++index) {
            cv::VideoCapture capture;
            try {
                if (!capture.open(index))
                    continue;
            } catch (const cv::Exception&) {
                continue;
            }
            const cv::Size size(int(capture.get(cv::CAP_PROP_FRAME_WIDTH)), int(capture.get(cv::CAP_PROP_FRAME_HEIGHT)));
            CameraInfo camera;
            camera.id = "camera " + std::to_string(index);
            camera.source = std::to_string(index);
            camera.name = camera.id;
            if (size.width > 0 && size.height > 0)
                camera.sizes.push_back(size);
            found.push_back(std::move(camera));
        }
        return found;
    }
};

} // namespace

std::vector<cv::Size> SizesInRange(cv::Size minimum, cv::Size maximum)
{
    static const std::array<cv::Size, 9> kCommon { { { 160, 120 }, { 320, 240 }, { 352, 288 }, { 640, 480 },
        { 800, 600 }, { 1024, 768 }, { 1280, 720 }, { 1280, 960 }, { 1920, 1080 } } };
    std::vector<cv::Size> sizes;
    for (const cv::Size& s : kCommon)
        if (s.width >= minimum.width && s.height >= minimum.height && s.width <= maximum.width && s.height <= maximum.height)
            sizes.push_back(s);
    if (maximum.width > 0 && maximum.height > 0 && std::find(sizes.begin(), sizes.end(), maximum) == sizes.end())
        sizes.push_back(maximum);
    return sizes;
}

namespace {

std::vector<CameraMode> ModesOf(const VideoDeviceReport& report)
{
    std::vector<CameraMode> modes;
    for (const auto& entry : report.frameSizes) {
        if (!entry.stepwise) {
            if (entry.size.width > 0 && entry.size.height > 0)
                modes.push_back({ entry.pixelFormat, entry.compressed, entry.size, entry.rates });
            continue;
        }
        for (const cv::Size& size : SizesInRange(entry.minimum, entry.maximum))
            modes.push_back({ entry.pixelFormat, entry.compressed, size, {} });
    }
    return modes;
}

} // namespace

std::vector<CameraMode> QueryCameraModes(VideoDevices& devices, const std::string& source)
{
    const bool isIndex = !source.empty()
        && std::all_of(source.begin(), source.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
    VideoDeviceReport report;
    if (!devices.Query(isIndex ? "/dev/video" + source : source, report) || !report.capture)
        return {};
    return ModesOf(report);
}

std::vector<CameraInfo> DeviceCameraList::Cameras()
{
    std::vector<std::string> paths = devices_->Paths();
    std::sort(paths.begin(), paths.end(), [](const std::string& a, const std::string& b) {
        return std::pair(NodeNumber(a), a) < std::pair(NodeNumber(b), b);
    });
    std::vector<CameraInfo> cameras;
    std::set<std::string> ids;
    for (const std::string& path : paths) {
        VideoDeviceReport report;
        if (!devices_->Query(path, report) || !report.capture)
            continue;
        CameraInfo camera;
        camera.name = report.card.empty() ? path : report.card;
        // The bus position stays when the node numbers change; two identical cameras differ by it.
        camera.id = camera.name + " @ " + (report.busInfo.empty() ? path : report.busInfo);
        if (!ids.insert(camera.id).second)
            camera.id += " " + path; // a driver that gives two capture nodes the same place
        camera.source = SourceFor(path);
        camera.modes = ModesOf(report);
        for (const CameraMode& mode : camera.modes)
            camera.sizes.push_back(mode.size);
        std::sort(camera.sizes.begin(), camera.sizes.end(), SmallerArea);
        camera.sizes.erase(std::unique(camera.sizes.begin(), camera.sizes.end()), camera.sizes.end());
        cameras.push_back(std::move(camera));
    }
    return cameras;
}

#if !defined(__linux__)
namespace {
class NoVideoDevices : public VideoDevices {
public:
    std::vector<std::string> Paths() override { return {}; }
    bool Query(const std::string&, VideoDeviceReport&) override { return false; }
};
} // namespace
#endif

std::unique_ptr<VideoDevices> MakeSystemVideoDevices()
{
#if defined(__linux__)
    return std::make_unique<V4l2Devices>();
#else
    return std::make_unique<NoVideoDevices>();
#endif
}

std::unique_ptr<CameraList> MakeSystemCameraList()
{
#if defined(__linux__)
    return std::make_unique<DeviceCameraList>(std::make_unique<V4l2Devices>());
#else
    return std::make_unique<IndexCameraList>();
#endif
}
