#pragma once

#include "pipeline/capture/CameraModes.h"

#include <opencv2/core.hpp>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
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

    // True for a source whose Read waits for its next frame, as a camera does (its frames come at
    // its own rate and queue up when not read). The loop then reads it on a thread of its own and
    // works on the newest frame only. A file or a scripted source is read on demand.
    virtual bool PacesItself() const { return false; }
    // When the frame of the last Read was captured, if the source knows; otherwise the loop
    // takes the moment the read returned.
    virtual std::optional<std::chrono::steady_clock::time_point> LastCaptureTime() const { return std::nullopt; }
    // Before Open: the picture size the program wants. A camera asks for it (or, where it does not
    // offer it, for its own default size); other sources ignore it.
    virtual void AskForSize(cv::Size) { }
    // After Open: what a camera agreed to (format, size, rate); nothing for other sources.
    virtual std::optional<CameraAgreement> Agreement() const { return std::nullopt; }
    // The empty room is about to be learnt: whoever is in the picture should step out for a few
    // seconds. A camera cannot ask; a drawn scene can. May be called while another thread reads.
    virtual void AskToLeaveThePicture() { }
};

using FrameSourceFactory = std::function<std::unique_ptr<FrameSource>()>;

// "test" → the moving test scene at 640 × 480, "test:WxH" (e.g. "test:1920x1080") at that size;
// "test:booth", "test:green" (and "test:booth:WxH", "test:green:WxH") → the backdrop scenes;
// a number or a /dev/video node → that camera; anything else → a video file (or stream) opened by
// OpenCV. A camera is asked for the requested picture size when one is given (the camera may
// deliver another, which it then reports).
FrameSourceFactory MakeFrameSourceFactory(const std::string& spec, cv::Size requested = {});

// Waits, as a camera does, until the next frame of a drawn scene is due at 30 a second; next is
// the last frame's time and becomes this one's. A frame drawn late is not made up for by a burst
// of early ones: a camera drops them.
void WaitForNextSceneFrame(std::chrono::steady_clock::time_point& next);

// The test scene's sizes: those of a picture the settings accept.
inline constexpr int kMinTestSceneWidth = 16;
inline constexpr int kMaxTestSceneWidth = 7680;
inline constexpr int kMinTestSceneHeight = 16;
inline constexpr int kMaxTestSceneHeight = 4320;

// The size of a "test:WxH" source name: nullopt for anything else, also for a size below
// 16 × 16, above 7680 × 4320, or with stray characters.
std::optional<cv::Size> TestSceneSize(const std::string& spec);

// True for the names of the built-in scenes: "test", "test:WxH", "test:booth[:WxH]",
// "test:green[:WxH]".
bool IsTestSceneName(const std::string& spec);
