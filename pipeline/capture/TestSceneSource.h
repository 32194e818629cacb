#pragma once

#include <string>

#include "pipeline/capture/FrameSource.h"

#include <chrono>

// A moving scene for machines without a webcam: a textured background with a few bright
// blocks that drift, so corners can be tracked. 640 × 480 (or any other size) at 30 frames a
// second.
class TestSceneSource : public FrameSource {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;

    // paced = false delivers frames at once (for tests and benchmarks).
    explicit TestSceneSource(bool paced = true, cv::Size size = { kWidth, kHeight }) : paced_(paced), size_(size) {}

    bool Open() override;
    bool Read(cv::Mat& frame) override;
    cv::Size FrameSize() const override { return size_; }
    void Release() override { open_ = false; }
    bool PacesItself() const override { return paced_; }

    // The scene as it looks at frame number n; other sizes are the 640 × 480 scene scaled.
    static cv::Mat Render(int n, cv::Size size = { kWidth, kHeight });
    static std::string FacePhotoPath();

private:
    bool paced_;
    cv::Size size_;
    bool open_ = false;
    int frameNumber_ = 0;
    cv::Mat face_; // BGRA; empty when the photograph is not shipped
    std::chrono::steady_clock::time_point next_;
};
