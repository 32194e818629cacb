#pragma once

#include "pipeline/faces/FaceDetector.h"
#include "pipeline/faces/FaceTracks.h"

#include <opencv2/core.hpp>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// Faces in the live picture, found on a thread of the tracker's own so that the frame loop never
// waits for a detection run. The loop offers its pictures; every few frames the newest one is
// handed to the detector (a picture offered while a run is busy replaces the waiting one), and
// each run's result is folded into the tracked faces, which anyone may read at any time.
class FaceTracker {
public:
    // One picture in this many offered is taken for detection.
    static constexpr int kDetectEvery = 3;

    // cascadeDirs are searched for a cascade before OpenCV's data folders (FaceDetector). The
    // cascade is loaded and the thread started on the first offered picture.
    // dataDirs: also look where OpenCV's data is installed.
    explicit FaceTracker(std::vector<std::string> cascadeDirs = {}, bool dataDirs = true);
    ~FaceTracker();
    FaceTracker(const FaceTracker&) = delete;
    FaceTracker& operator=(const FaceTracker&) = delete;

    // Frame loop: a picture taken at `seconds` (steady clock). Copies it at most, never waits.
    void Offer(const cv::Mat& picture, double seconds);
    // Any thread: the tracked faces at `now`.
    std::vector<TrackedFace> Faces(double now) const;
    // Forgets every face; a run still busy is discarded.
    void Reset();

    // Loads the cascade now, if no run has yet, so the caller learns at once whether faces can be
    // found at all. Waits for a run busy on the thread.
    bool Prepare();

    // Detects on the calling thread and folds the result in at once: for tests and tools that
    // need every step to happen in order. Waits for a run busy on the thread.
    void DetectNow(const cv::Mat& picture, double seconds);

    // Detection runs completed so far, and whether a cascade could be loaded (false before the
    // first run).
    std::uint64_t runs() const { return runs_.load(); }
    // Boxes the detector reported over all runs so far.
    std::uint64_t facesFound() const { return facesFound_.load(); }
    bool detectorLoaded() const { return detectorLoaded_.load(); }

    // Seconds on the steady clock the tracker's callers use.
    static double Now();

private:
    void Run();
    // Loads the detector if not yet; the caller holds detectorMutex_.
    void LoadDetector();
    // Detection and folding in; the caller holds detectorMutex_.
    void DetectAndFold(const cv::Mat& picture, double seconds, std::uint64_t generation);

    const std::vector<std::string> cascadeDirs_;
    const bool dataDirs_;

    // The waiting picture, guarded by slotMutex_; the frame loop never holds it for longer than a
    // copy and gives up the picture rather than wait for it.
    std::mutex slotMutex_;
    std::condition_variable slotChanged_;
    cv::Mat pending_;
    double pendingSeconds_ = 0;
    bool hasPending_ = false;
    bool stopping_ = false;
    std::thread thread_;
    int offers_ = 0; // frame loop only

    std::mutex detectorMutex_; // whoever runs the detector
    std::unique_ptr<FaceDetector> detector_;

    mutable std::mutex tracksMutex_;
    FaceTracks tracks_;
    std::atomic<std::uint64_t> generation_ { 0 }; // raised by Reset
    std::atomic<std::uint64_t> runs_ { 0 };
    std::atomic<std::uint64_t> facesFound_ { 0 };
    std::atomic<bool> detectorLoaded_ { false };
};
