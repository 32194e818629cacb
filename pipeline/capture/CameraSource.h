#pragma once

#include "pipeline/capture/CameraModes.h"
#include "pipeline/capture/FrameSource.h"
#include "pipeline/capture/MjpegDecoder.h"

#include <opencv2/videoio.hpp>

#include <memory>
#include <optional>
#include <string>

// A camera, by index ("0") or device node ("/dev/video2"). On Linux it reads the camera's own
// table of formats, sizes and rates and asks, through OpenCV's V4L2 back-end alone, for the
// format that gives the highest rate (up to 30 a second) at the size wanted, Motion-JPEG where the
// uncompressed pictures come too slowly; then reads back what the camera agreed. Motion-JPEG
// frames are decoded here, on the thread that reads the camera, and damaged ones are dropped
// without a word. Elsewhere OpenCV's default back-end opens it, asked for Motion-JPEG, the size
// and 30 a second, which it honours where it can.
class CameraSource : public FrameSource {
public:
    // requested: the size to ask for unless AskForSize names another; empty: the camera's
    // default size from its table (the largest that reaches 25 a second, at most 1080p).
    CameraSource(std::string spec, cv::Size requested = {});
    ~CameraSource() override;

    bool Open() override;
    bool Read(cv::Mat& frame) override;
    cv::Size FrameSize() const override;
    void Release() override;
    bool PacesItself() const override { return true; }
    std::optional<std::chrono::steady_clock::time_point> LastCaptureTime() const override { return captured_; }
    void AskForSize(cv::Size size) override { asked_ = size; }
    std::optional<CameraAgreement> Agreement() const override { return agreement_; }

    // The device node the camera is reached by ("/dev/video0" for index 0).
    static std::string DevicePath(const std::string& spec);

private:
    // What to ask for, from the camera's table (none where there is no table).
    std::optional<ModeChoice> Plan(cv::Size wanted) const;
    bool ReadJpeg(cv::Mat& frame);

    std::string spec_;
    cv::Size requested_;
    cv::Size asked_;
    cv::VideoCapture capture_;
    bool jpeg_ = false;
    MjpegDecoder decoder_;
    cv::Mat raw_;
    std::optional<CameraAgreement> agreement_;
    std::optional<std::chrono::steady_clock::time_point> captured_;
};
