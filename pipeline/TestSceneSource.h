#pragma once

#include "pipeline/FrameSource.h"

#include <chrono>

// A moving scene for machines without a webcam: a textured background with a few bright
// blocks that drift, so corners can be tracked. 640 × 480 at 30 frames a second.
class TestSceneSource : public FrameSource {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;

    // paced = false delivers frames at once (for tests and benchmarks).
    explicit TestSceneSource(bool paced = true) : paced_(paced) {}

    bool Open() override;
    bool Read(cv::Mat& frame) override;
    cv::Size FrameSize() const override { return { kWidth, kHeight }; }
    void Release() override { open_ = false; }

    // The scene as it looks at frame number n.
    static cv::Mat Render(int n);

private:
    bool paced_;
    bool open_ = false;
    int frameNumber_ = 0;
    std::chrono::steady_clock::time_point next_;
};
