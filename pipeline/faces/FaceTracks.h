#pragma once

#include <opencv2/core.hpp>

#include <vector>

// A face as the tracker sees it: an identity kept while the same face is followed, and its box in
// picture pixels.
struct TrackedFace {
    int id = 0;
    cv::Rect2d box;
};

// Faces followed from one detection run to the next. Each run's boxes are matched to the known
// faces by how close they are, and each face's position, speed and size are smoothed, so the box
// neither jitters with the detector nor lags behind a moving face. A face a run misses is kept for
// a while at its last place. Pure logic, times in seconds on any steady clock; not thread-safe.
class FaceTracks {
public:
    // How long a face is kept after the last run that found it.
    static constexpr double kHoldSeconds = 1.0;
    // How far past its last detection a face's motion is carried on.
    static constexpr double kPredictSeconds = 0.3;
    // Runs that must find a new face before it is reported; a single run's false find never is.
    static constexpr int kConfirmRuns = 2;

    // Folds in the boxes one detection run found in the picture taken at `seconds`.
    void Update(const std::vector<cv::Rect>& detections, double seconds);
    // The confirmed faces at `now`, each moved on by its speed since its last detection.
    std::vector<TrackedFace> Faces(double now) const;
    void Clear() { tracks_.clear(); }

private:
    struct Track {
        int id = 0;
        cv::Point2d centre;
        cv::Point2d velocity; // pixels a second
        cv::Size2d size;
        double seen = 0; // time of the last run that found it
        int runs = 0;    // runs that found it
    };
    static cv::Point2d PredictedCentre(const Track& track, double at);

    std::vector<Track> tracks_;
    int nextId_ = 1;
};
