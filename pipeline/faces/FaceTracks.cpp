#include "pipeline/faces/FaceTracks.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace {

// Smoothing of the alpha-beta filter: position, speed, size.
constexpr double kAlpha = 0.6;
constexpr double kBeta = 0.25;
constexpr double kSizeGain = 0.35;
// A box matches a face when its centre lies within this many face widths of where the face
// should be, and its size is within this ratio of the face's.
constexpr double kMatchDistance = 0.7;
constexpr double kMatchSizeRatio = 1.6;

cv::Point2d CentreOf(const cv::Rect& r)
{
    return { r.x + r.width / 2.0, r.y + r.height / 2.0 };
}

} // namespace

cv::Point2d FaceTracks::PredictedCentre(const Track& track, double at)
{
    const double dt = std::clamp(at - track.seen, 0.0, kPredictSeconds);
    return track.centre + track.velocity * dt;
}

void FaceTracks::Update(const std::vector<cv::Rect>& detections, double seconds)
{
    // Every plausible pairing, closest first, taken greedily: each face and each box once.
    std::vector<std::tuple<double, size_t, size_t>> pairs;
    for (size_t t = 0; t < tracks_.size(); ++t) {
        const Track& track = tracks_[t];
        const cv::Point2d expected = PredictedCentre(track, seconds);
        for (size_t d = 0; d < detections.size(); ++d) {
            const cv::Rect& box = detections[d];
            if (box.width <= 0 || box.height <= 0)
                continue;
            const double ratio = box.width / track.size.width;
            if (ratio > kMatchSizeRatio || ratio < 1.0 / kMatchSizeRatio)
                continue;
            const double distance = cv::norm(CentreOf(box) - expected) / track.size.width;
            if (distance <= kMatchDistance)
                pairs.emplace_back(distance, t, d);
        }
    }
    std::sort(pairs.begin(), pairs.end());
    std::vector<bool> trackTaken(tracks_.size(), false);
    std::vector<bool> boxTaken(detections.size(), false);
    for (const auto& [distance, t, d] : pairs) {
        if (trackTaken[t] || boxTaken[d])
            continue;
        trackTaken[t] = boxTaken[d] = true;
        Track& track = tracks_[t];
        const cv::Rect& box = detections[d];
        const double dt = seconds - track.seen;
        const cv::Point2d expected = PredictedCentre(track, seconds);
        const cv::Point2d residual = CentreOf(box) - expected;
        track.centre = expected + kAlpha * residual;
        // A run on the same picture again (or out of order) says nothing about speed.
        if (dt > 1e-3)
            track.velocity += (kBeta / dt) * residual;
        // Nobody's face crosses the picture in a third of a second; a faster estimate is noise.
        const double maxSpeed = 3.0 * track.size.width;
        const double speed = cv::norm(track.velocity);
        if (speed > maxSpeed)
            track.velocity *= maxSpeed / speed;
        track.size.width += kSizeGain * (box.width - track.size.width);
        track.size.height += kSizeGain * (box.height - track.size.height);
        track.seen = std::max(track.seen, seconds);
        ++track.runs;
    }

    // Faces missed for too long are gone; an unconfirmed face missed once was a false find.
    std::vector<Track> kept;
    kept.reserve(tracks_.size() + detections.size());
    for (size_t t = 0; t < tracks_.size(); ++t) {
        const Track& track = tracks_[t];
        if (trackTaken[t] || (track.runs >= kConfirmRuns && seconds - track.seen <= kHoldSeconds))
            kept.push_back(track);
    }
    for (size_t d = 0; d < detections.size(); ++d) {
        const cv::Rect& box = detections[d];
        if (boxTaken[d] || box.width <= 0 || box.height <= 0)
            continue;
        Track track;
        track.id = nextId_++;
        track.centre = CentreOf(box);
        track.size = cv::Size2d(box.width, box.height);
        track.seen = seconds;
        track.runs = 1;
        kept.push_back(track);
    }
    tracks_ = std::move(kept);
}

std::vector<TrackedFace> FaceTracks::Faces(double now) const
{
    std::vector<TrackedFace> faces;
    for (const Track& track : tracks_) {
        if (track.runs < kConfirmRuns || now - track.seen > kHoldSeconds)
            continue;
        const cv::Point2d centre = PredictedCentre(track, now);
        faces.push_back({ track.id,
            cv::Rect2d(centre.x - track.size.width / 2, centre.y - track.size.height / 2, track.size.width,
                track.size.height) });
    }
    return faces;
}
