#pragma once

#include <QString>
#include <opencv2/core.hpp>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// A backdrop picture: a still (JPEG, PNG), an animated GIF or a looped video (MP4, WebM, AVI).
// Opened on the interface thread; the worker asks for the picture at a moment of the picture's
// time. A video is decoded on a reader thread of its own that keeps the next frame ready, scaled
// to the picture's size, so the worker never waits for the decoder.
class BackdropPlayer {
public:
    virtual ~BackdropPlayer() = default;
    // The backdrop at `seconds` (any origin, increasing) at `size`, or empty. Worker thread.
    virtual cv::Mat PictureAt(cv::Size size, double seconds) = 0;

    // The player for a file, or null when it cannot be read as one of the kinds above.
    static std::unique_ptr<BackdropPlayer> Open(const QString& path);
    // A still from a picture already in memory (CV_8UC3).
    static std::unique_ptr<BackdropPlayer> FromStill(const cv::Mat& bgr);
};

// The frames of an animation with how long each stays (seconds). Scaled frames are kept once
// made, since every pass shows one of them again.
class AnimatedBackdrop final : public BackdropPlayer {
public:
    AnimatedBackdrop(std::vector<cv::Mat> frames, std::vector<double> durations);
    cv::Mat PictureAt(cv::Size size, double seconds) override;
    // The frame shown at `seconds` after the first call (looped).
    int FrameAt(double sinceStart) const;

private:
    std::vector<cv::Mat> frames_;
    std::vector<double> ends_; // when each frame ends, from the loop's start
    std::vector<cv::Mat> scaled_;
    cv::Size scaledSize_;
    double origin_ = -1;
};

// Whether a file is one of the videos a backdrop can be (by its extension).
bool IsBackdropVideo(const QString& path);

// A video read on its own thread, looped at its end.
class VideoBackdrop final : public BackdropPlayer {
public:
    // Null when the file opens as no video with at least one frame.
    static std::unique_ptr<VideoBackdrop> Open(const std::string& path);
    ~VideoBackdrop() override;
    cv::Mat PictureAt(cv::Size size, double seconds) override;

private:
    VideoBackdrop() = default;
    void ReadLoop();

    std::string path_;
    double frameSeconds_ = 1.0 / 25;
    std::mutex mutex_;
    std::condition_variable wake_;
    cv::Size size_;
    cv::Mat next_;          // decoded and scaled, waiting for its time
    double nextAt_ = 0;     // its time from the start of play
    double wantedAt_ = 0;   // the picture's time the worker last asked for, from the start
    bool nextReady_ = false;
    bool stop_ = false;
    cv::Mat shown_;         // worker only
    double origin_ = -1;    // worker only
    std::thread reader_;
};
