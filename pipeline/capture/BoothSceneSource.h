#pragma once

#include "pipeline/capture/FrameSource.h"

#include <opencv2/core.hpp>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>

// Scenes for trying backdrops without a camera: a drawn person walks into a still room (a wall,
// a shelf with books, a standing lamp, a window) or in front of a green cloth, then stands and
// waves one arm. The room has sensor noise and, from frame 240 on, the camera's exposure slowly
// falls by 15 % and comes back. Frames are drawn from their number (30 a second), so the same
// number always gives the same picture, and the person's true outline is known.
enum class BoothScene {
    Room,       // the room, to be learnt empty first
    GreenCloth, // a green cloth behind the person, with a little green spill on their edges
};

class BoothSceneSource : public FrameSource {
public:
    static constexpr int kWidth = 640;
    static constexpr int kHeight = 480;
    // The person steps in after two seconds and stands in the middle from four seconds on.
    static constexpr int kPersonEnters = 60;
    static constexpr int kPersonStands = 120;
    // The exposure starts changing here, every 600 frames: 3 s down to 85 %, 3 s there, 3 s back.
    static constexpr int kExposureChanges = 240;
    static constexpr double kLowestExposure = 0.85;

    // paced = false delivers frames at once (for tests and benchmarks).
    explicit BoothSceneSource(BoothScene scene, bool paced = true, cv::Size size = { kWidth, kHeight })
        : scene_(scene), paced_(paced), size_(size)
    {
    }

    bool Open() override;
    bool Read(cv::Mat& frame) override;
    cv::Size FrameSize() const override { return size_; }
    void Release() override { open_ = false; }
    bool PacesItself() const override { return paced_; }
    // The person walks back out (the way they came in) and comes in again when the room has
    // had time to be learnt: the countdown and the learnt second fit in kAwayFrames.
    void AskToLeaveThePicture() override { leaveAsked_ = true; }
    static constexpr int kAwayFrames = 150;

    // Frame n (CV_8UC3). Other sizes are the same drawing at that size (stretched when the shape
    // differs). truth, when given, receives the person's coverage: CV_8UC1, 255 inside, 0 outside,
    // between on the edge pixels; 128 and more is the person.
    static cv::Mat Render(BoothScene scene, int n, cv::Size size = { kWidth, kHeight }, cv::Mat* truth = nullptr);
    // The camera's exposure at frame n (1 = as learnt).
    static double Exposure(BoothScene scene, int n);
    // The cloth's colour in the middle of the green scene, as a key colour picked from it.
    static cv::Scalar ClothColour();

private:
    BoothScene scene_;
    bool paced_;
    cv::Size size_;
    bool open_ = false;
    int frameNumber_ = 0; // frames read since Open
    int sceneFrame_ = 0; // the frame of the scene's story shown next
    int awayUntil_ = -1; // while frameNumber_ is below, the person walks out or stays away
    std::atomic<bool> leaveAsked_ { false };
    cv::Mat backdrop_; // the empty scene at size_, drawn once
    std::chrono::steady_clock::time_point next_;
};

// "test:booth", "test:green", and with a size "test:booth:WxH", "test:green:WxH" (the sizes
// "test:WxH" takes). nullopt for anything else.
struct BoothSceneChoice {
    BoothScene scene;
    cv::Size size;
};
std::optional<BoothSceneChoice> BoothSceneName(const std::string& spec);
