#pragma once

#include <opencv2/core.hpp>

#include <functional>
#include <memory>
#include <string>

// Where frames come from: a camera, a video file, the built-in test scene, or a test script.
class FrameSource {
public:
    virtual ~FrameSource() = default;
    virtual bool Open() = 0;
    // Fills frame with the next picture (BGR, 8 bits per sample). False, or an empty frame,
    // when no frame could be had this time.
    virtual bool Read(cv::Mat& frame) = 0;
    virtual cv::Size FrameSize() const = 0;
    virtual void Release() = 0;
};

using FrameSourceFactory = std::function<std::unique_ptr<FrameSource>()>;

// "test" → the moving test scene; a number → that camera index; anything else → a device path
// or video file opened by OpenCV. A camera index is asked for the requested picture size when
// one is given (the camera may deliver another).
FrameSourceFactory MakeFrameSourceFactory(const std::string& spec, cv::Size requested = {});
