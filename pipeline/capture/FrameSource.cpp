#include "pipeline/capture/FrameSource.h"

#include "pipeline/capture/BoothSceneSource.h"
#include "pipeline/capture/CameraSource.h"
#include "pipeline/capture/TestSceneSource.h"

#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cctype>
#include <thread>

namespace {

// A video file or a stream, through OpenCV's capture.
class CaptureSource : public FrameSource {
public:
    explicit CaptureSource(std::string spec) : spec_(std::move(spec)) {}

    bool Open() override
    {
        try {
            if (!capture_.open(spec_))
                return false;
            // A stream with a known length is a file: it plays on from its start when it ends,
            // like a camera that never stops.
            isFile_ = capture_.get(cv::CAP_PROP_FRAME_COUNT) > 0;
            isCamera_ = !isFile_;
            return true;
        } catch (const std::exception&) {
            return false; // an index out of range or a back-end that refuses the name
        }
    }

    bool Read(cv::Mat& frame) override
    {
        // A camera that went away gives no frame: the loop skips the pass and, after a while,
        // counts the camera as lost.
        try {
            if (ReadOnce(frame))
                return true;
            if (!isFile_)
                return false;
            // The file ended: back to its first frame, by seeking or, where the back-end cannot,
            // by opening it again.
            if (capture_.set(cv::CAP_PROP_POS_FRAMES, 0) && ReadOnce(frame))
                return true;
            capture_.release();
            return capture_.open(spec_) && ReadOnce(frame);
        } catch (const cv::Exception&) {
            return false; // some capture back-ends throw when the device vanishes
        }
    }

    cv::Size FrameSize() const override
    {
        return { static_cast<int>(capture_.get(cv::CAP_PROP_FRAME_WIDTH)),
            static_cast<int>(capture_.get(cv::CAP_PROP_FRAME_HEIGHT)) };
    }

    void Release() override { capture_.release(); }

    // A camera or a device stream waits for its frames; a file would play as fast as it decodes.
    bool PacesItself() const override { return isCamera_; }

private:
    bool ReadOnce(cv::Mat& frame) { return capture_.isOpened() && capture_.read(frame) && !frame.empty(); }

    std::string spec_;
    bool isFile_ = false;
    bool isCamera_ = false;
    cv::VideoCapture capture_;
};

} // namespace

void WaitForNextSceneFrame(std::chrono::steady_clock::time_point& next)
{
    next = std::max(next + std::chrono::microseconds(33333), std::chrono::steady_clock::now());
    std::this_thread::sleep_until(next);
}

std::optional<cv::Size> TestSceneSize(const std::string& spec)
{
    const std::string prefix = "test:";
    if (spec.rfind(prefix, 0) != 0)
        return std::nullopt;
    const std::string size = spec.substr(prefix.size());
    const auto x = size.find('x');
    if (x == std::string::npos)
        return std::nullopt;
    auto number = [](const std::string& digits) -> int {
        if (digits.empty() || digits.size() > 5
            || !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
            return -1;
        return std::stoi(digits);
    };
    const int width = number(size.substr(0, x));
    const int height = number(size.substr(x + 1));
    if (width < kMinTestSceneWidth || height < kMinTestSceneHeight || width > kMaxTestSceneWidth
        || height > kMaxTestSceneHeight)
        return std::nullopt;
    return cv::Size(width, height);
}

FrameSourceFactory MakeFrameSourceFactory(const std::string& spec, cv::Size requested)
{
    if (spec == "test")
        return [] { return std::make_unique<TestSceneSource>(); };
    if (const std::optional<cv::Size> size = TestSceneSize(spec))
        return [size = *size] { return std::make_unique<TestSceneSource>(true, size); };
    if (const std::optional<BoothSceneChoice> booth = BoothSceneName(spec))
        return [booth = *booth] { return std::make_unique<BoothSceneSource>(booth.scene, true, booth.size); };
    const std::string name = spec.empty() ? "0" : spec;
    const bool camera = (name.size() < 6
                            && std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isdigit(c) != 0; }))
        || name.rfind("/dev/video", 0) == 0;
    if (camera)
        return [name, requested] { return std::make_unique<CameraSource>(name, requested); };
    return [name] { return std::make_unique<CaptureSource>(name); };
}

bool IsTestSceneName(const std::string& spec)
{
    return spec == "test" || TestSceneSize(spec) || BoothSceneName(spec);
}
