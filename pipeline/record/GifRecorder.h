#pragma once

#include "pipeline/record/PhotoCapture.h"

#include <QString>

#include <opencv2/core.hpp>

#include <chrono>
#include <condition_variable>
#include <ctime>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Records a few seconds of the composed picture as a looping animated GIF in the photo folder,
// named like photos. Pictures are taken at 10 a second by their capture times (a late one is
// preceded by copies of the one before, so the GIF plays as long as it recorded) and scaled to
// at most 480 pixels wide; the encoding runs on the recorder's own thread.
class GifRecorder {
public:
    // Called once per GIF with its outcome, on the encoder thread; it must not wait for the
    // interface thread (connect it to a queued signal).
    using Notify = std::function<void(const PhotoResult&)>;
    using WallClock = std::function<std::time_t()>;
    static constexpr int kFramesPerSecond = 10;
    static constexpr int kMaxWidth = 480;

    explicit GifRecorder(Notify onSaved = {}, WallClock wallClock = {});
    ~GifRecorder(); // saves what was collected and waits for the encoding
    GifRecorder(const GifRecorder&) = delete;
    GifRecorder& operator=(const GifRecorder&) = delete;

    // Starts collecting `seconds` (1 to 10) of pictures for a GIF in folder. False, with the
    // reason in message, while another GIF is collected or encoded or when the folder is missing.
    [[nodiscard]] bool Start(const QString& folder, int seconds, QString& message);
    // Frame loop's presenter thread, once per composed picture (BGR). Scales only the pictures it
    // keeps.
    void Offer(const cv::Mat& composedBgr, std::chrono::steady_clock::time_point captured);
    // Ends collecting early (the camera stopped) and saves what was collected.
    void Stop();
    // Ends collecting and drops what was collected.
    void Cancel();

    bool collecting() const;
    bool busy() const; // collecting or encoding
    int framesCollected() const;
    int framesWanted() const;

    // The size a picture is recorded at: at most kMaxWidth wide, proportions kept.
    static cv::Size RecordedSize(cv::Size picture);

private:
    struct Job {
        std::vector<cv::Mat> frames;
        QString folder;
        std::time_t when = 0;
    };

    void HandOffLocked();
    void EncoderLoop();
    PhotoResult Encode(const Job& job) const;

    const Notify onSaved_;
    const WallClock wallClock_;

    mutable std::mutex lock_;
    std::condition_variable wake_;
    bool collecting_ = false;
    bool encoding_ = false;
    bool quitting_ = false;
    int wanted_ = 0;
    std::vector<cv::Mat> frames_;
    QString folder_;
    std::time_t when_ = 0;
    bool haveFirst_ = false;
    std::chrono::steady_clock::time_point firstAt_;
    std::optional<Job> job_;

    std::thread encoder_; // last, so it starts after everything it uses
};
