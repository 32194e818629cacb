#pragma once

#include "pipeline/record/VideoSink.h"

#include <QString>

#include <opencv2/core.hpp>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

class HeldFolder;
class QLockFile;
class QTemporaryDir;

// The hidden folder a recording is written in, inside the photo folder, and the lock file in it
// that a running recorder holds (so that another run never takes a recording still going on).
inline constexpr char kRecordingFolderPrefix[] = ".recording-";
inline constexpr char kRecordingLockName[] = ".lock";

struct RecordingStart {
    bool started = false;
    QString codec;   // the codec in use, when started
    QString message; // for the status bar: the codec in use, or why recording did not start
};

struct RecordingResult {
    bool saved = false;
    QString path;                    // the finished file, when saved
    QString message;                 // why not, for the status bar
    std::uint64_t framesWritten = 0; // pictures in the file, held pictures included
    std::uint64_t framesDropped = 0; // offered pictures that found the queue full
};

struct VideoRecorderOptions {
    std::size_t queueCapacity = 8;
    VideoSinkFactory sinkFactory; // OpenCV's writer when empty
    std::function<std::chrono::steady_clock::time_point()> clock; // steady_clock::now when empty
    std::function<std::time_t()> wallClock;                       // the file's name; time() when empty
};

// Records the composed pictures into an MP4 file in the photo folder, named like photos.
// The frame loop offers every picture and never waits: pictures go through a bounded queue to a
// writer thread, and are dropped (and counted) when the queue is full. The writer keeps the
// clock from the pictures' capture times: a late picture is preceded by copies of the one
// before, an early one is dropped, so N seconds of recording play for N seconds.
// The file is written in a hidden folder beside the photos and moved to its name when complete,
// so no half-written file ever carries a video's name. When the photo folder is moved or deleted
// during a recording, the finished file is followed to where it went (see Finish).
class VideoRecorder {
public:
    // Called once per recording with its outcome, on the writer thread; it must not wait for
    // the interface thread (connect it to a queued signal). Stop() returns the same outcome.
    using Notify = std::function<void(const RecordingResult&)>;

    explicit VideoRecorder(Notify onEnded = {}, VideoRecorderOptions options = {});
    ~VideoRecorder(); // stops and finishes the file
    VideoRecorder(const VideoRecorder&) = delete;
    VideoRecorder& operator=(const VideoRecorder&) = delete;

    // Opens a new file for pictures of frameSize at fps (30 when fps is not a usable rate).
    RecordingStart Start(const QString& folder, double fps, cv::Size frameSize);
    // Frame loop's presenter thread, once per composed picture (BGR). Never blocks on the writer.
    void Offer(const cv::Mat& composedBgr, std::chrono::steady_clock::time_point captured);
    // Writes what is queued, holds the last picture up to now, finishes and names the file.
    // Safe to call twice or without a recording; returns the last recording's outcome.
    RecordingResult Stop();

    bool recording() const { return recording_.load(); }
    // Time since Start while recording; the length of the last recording afterwards.
    std::chrono::steady_clock::duration elapsed() const;
    std::uint64_t dropped() const { return dropped_.load(); }

private:
    struct Offered {
        cv::Mat picture;
        std::chrono::steady_clock::time_point captured;
    };

    void WriterLoop();
    bool Place(const Offered& offered, QString& failure);
    bool WriteOne(const cv::Mat& picture, QString& failure);
    RecordingResult Finish(bool failed, QString failure);
    std::chrono::steady_clock::time_point Now() const;

    const Notify onEnded_;
    const VideoRecorderOptions options_;

    std::mutex startStop_; // one Start or Stop at a time; the writer thread is joined under it
    std::thread writer_;

    mutable std::mutex queueLock_;
    std::condition_variable wake_;
    std::deque<Offered> queue_;
    bool accepting_ = false;
    bool stopRequested_ = false;
    std::chrono::steady_clock::time_point stopAt_;

    std::atomic<bool> recording_{false};
    std::atomic<std::uint64_t> dropped_{0};
    std::atomic<std::chrono::steady_clock::rep> startedAt_{0};
    std::atomic<std::chrono::steady_clock::rep> lastLength_{0};

    // The writer thread's own, set up by Start before the thread runs.
    std::unique_ptr<VideoSink> sink_;
    std::unique_ptr<QTemporaryDir> tempDir_;
    std::unique_ptr<HeldFolder> heldDir_; // the hidden folder, wherever it is moved
    std::unique_ptr<QLockFile> lock_;
    QString folder_;
    QString baseName_;
    QString tempPath_;
    double fps_ = 30;
    cv::Size frameSize_;
    bool haveFirst_ = false;
    std::chrono::steady_clock::time_point firstAt_;
    std::uint64_t written_ = 0;
    cv::Mat last_;

    RecordingResult result_; // written by the writer thread, read after joining it
};
