#include "pipeline/capture/CameraSource.h"

#include "pipeline/capture/CameraList.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>

namespace {

bool IsIndex(const std::string& spec)
{
    return !spec.empty() && spec.size() < 6
        && std::all_of(spec.begin(), spec.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

bool Valid(cv::Size size)
{
    return size.width > 0 && size.height > 0;
}

} // namespace

CameraSource::CameraSource(std::string spec, cv::Size requested)
    : spec_(std::move(spec))
    , requested_(requested)
{
}

CameraSource::~CameraSource()
{
    Release();
}

std::string CameraSource::DevicePath(const std::string& spec)
{
    return IsIndex(spec) ? "/dev/video" + spec : spec;
}

std::optional<ModeChoice> CameraSource::Plan(cv::Size wanted) const
{
    const std::unique_ptr<VideoDevices> devices = MakeSystemVideoDevices();
    const std::vector<CameraMode> modes = QueryCameraModes(*devices, DevicePath(spec_));
    if (modes.empty())
        return std::nullopt;
    if (Valid(wanted))
        if (std::optional<ModeChoice> choice = ChooseMode(modes, wanted))
            return choice;
    // A size this camera does not offer (another camera was chosen before, or none yet): its
    // own default, rather than a size it would scale or refuse.
    const std::optional<cv::Size> fallback = DefaultSize(modes);
    return fallback ? ChooseMode(modes, *fallback) : std::nullopt;
}

bool CameraSource::Open()
{
    Release();
    const cv::Size wanted = Valid(asked_) ? asked_ : requested_;
    try {
#if defined(__linux__)
        const std::optional<ModeChoice> plan = Plan(wanted);
        // The V4L2 back-end alone: the default order tries GStreamer first, which warns on
        // every start and gives no say over the format.
        if (!capture_.open(DevicePath(spec_), cv::CAP_V4L2))
            return false;
        const cv::Size size = plan ? plan->size : wanted;
        // The format before the size, and the rate last: the back-end applies the rate it read
        // back after each change, so asked earlier the rate of the old format would stay.
        if (plan)
            capture_.set(cv::CAP_PROP_FOURCC, static_cast<double>(plan->fourcc));
        if (Valid(size)) {
            capture_.set(cv::CAP_PROP_FRAME_WIDTH, size.width);
            capture_.set(cv::CAP_PROP_FRAME_HEIGHT, size.height);
        }
        if (plan && plan->rate > 0)
            capture_.set(cv::CAP_PROP_FPS, plan->rate);
#else
        if (!(IsIndex(spec_) ? capture_.open(std::stoi(spec_)) : capture_.open(spec_)))
            return false;
        const cv::Size size = wanted;
        // Where the back-end honours it, Motion-JPEG is what reaches 30 a second above 640 × 480.
        if (Valid(size) && size.area() > 640 * 480)
            capture_.set(cv::CAP_PROP_FOURCC, static_cast<double>(kFourCcMjpeg));
        if (Valid(size)) {
            capture_.set(cv::CAP_PROP_FRAME_WIDTH, size.width);
            capture_.set(cv::CAP_PROP_FRAME_HEIGHT, size.height);
        }
        capture_.set(cv::CAP_PROP_FPS, kMostRate);
#endif
        CameraAgreement agreed;
        agreed.fourcc = static_cast<std::uint32_t>(static_cast<std::int64_t>(capture_.get(cv::CAP_PROP_FOURCC)));
        agreed.size = FrameSize();
        const double rate = capture_.get(cv::CAP_PROP_FPS);
        agreed.rate = std::isfinite(rate) && rate > 0 ? rate : 0;
        agreed.asked = wanted;
        agreed.device = DevicePath(spec_);
#if defined(__linux__)
        // Motion-JPEG is handed over undecoded and decoded here, where a damaged frame is
        // dropped quietly instead of being reported on standard error.
        jpeg_ = IsJpegFormat(agreed.fourcc) && capture_.set(cv::CAP_PROP_CONVERT_RGB, 0);
#endif
        agreement_ = agreed;
        return true;
    } catch (const std::exception&) {
        capture_.release();
        return false; // an index out of range or a back-end that refuses the name
    }
}

bool CameraSource::Read(cv::Mat& frame)
{
    try {
        if (!capture_.isOpened() || !capture_.grab())
            return false; // a camera gone: the loop skips the pass and later counts it lost
        const bool got = jpeg_ ? ReadJpeg(frame) : capture_.retrieve(frame) && !frame.empty();
        if (!got)
            return false;
        // The buffer's own time (the kernel's monotonic clock, as steady_clock on Linux) says
        // when the camera took the frame; the read may return much later.
        const double ms = capture_.get(cv::CAP_PROP_POS_MSEC);
        const auto now = std::chrono::steady_clock::now();
        const auto stamped = std::chrono::steady_clock::time_point(
            std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double, std::milli>(ms)));
        // A driver that stamps with another clock, or not at all, is timed by the read.
        captured_ = std::isfinite(ms) && ms > 0 && stamped <= now && now - stamped < std::chrono::seconds(2)
            ? std::optional(stamped)
            : std::nullopt;
        return true;
    } catch (const cv::Exception&) {
        return false;
    }
}

bool CameraSource::ReadJpeg(cv::Mat& frame)
{
    if (!capture_.retrieve(raw_) || raw_.empty())
        return false;
    if (raw_.type() == CV_8UC1 && raw_.rows == 1 && raw_.isContinuous())
        return decoder_.Decode(raw_.data, raw_.total(), frame);
    // A back-end that decoded after all.
    frame = raw_.clone();
    return raw_.type() == CV_8UC3;
}

cv::Size CameraSource::FrameSize() const
{
    return { static_cast<int>(capture_.get(cv::CAP_PROP_FRAME_WIDTH)),
        static_cast<int>(capture_.get(cv::CAP_PROP_FRAME_HEIGHT)) };
}

void CameraSource::Release()
{
    capture_.release();
    jpeg_ = false;
    raw_.release();
}
