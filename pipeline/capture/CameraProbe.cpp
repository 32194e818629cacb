#include "pipeline/capture/CameraProbe.h"

#include <opencv2/core.hpp>

#include <memory>

namespace {

// A camera that has just been opened sometimes hands out a few empty frames first.
constexpr int kReadAttempts = 5;

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
