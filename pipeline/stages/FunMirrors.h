#pragma once

#include <opencv2/core.hpp>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

// The funhouse mirrors: effects that move pixels about (cv::remap and its cheaper cousins) on a BGR
// frame (CV_8UC3), in place. The frame may be a view into a larger picture; nothing outside it is
// written, and its size and type stay.

// Where and how large a face is, in frame pixels; a width of 0 means unknown. Not explicit: a
// bare centre (or an optional one) is a face of unknown size.
struct FunFace {
    FunFace(cv::Point2f centre_, float width_ = 0)
        : centre(centre_)
        , width(width_)
    {
    }
    cv::Point2f centre;
    float width = 0;
};

enum class MirrorKind : int {
    Bulge,
    Pinch,
    Twirl,
    Stretch,
    Squeeze,
    FishEye,
    Kaleidoscope,
    LightTunnel,
    BigHead,
    ThinFace,
    Count,
};

// The maps of each mirror, kept while the picture size and the lens (centre, radii) stay and rebuilt
// when they change. One slot per mirror, so that switching between mirrors (or showing them all
// side by side) does not rebuild anything.
class FunMapCache {
public:
    // What a map was built for: the picture size, the lens centre and its radii.
    struct Key {
        cv::Size size;
        cv::Point centre;
        cv::Size radii;
        bool operator==(const Key&) const = default;
    };

    struct Maps {
        cv::Mat xy;       // CV_16SC2 integer source positions (cv::convertMaps)
        cv::Mat fraction; // CV_16UC1 their fractions (none where the nearest pixel is taken)
        cv::Rect area;    // the part of the picture the maps cover
        // Lenses and the fish-eye: bands of rows, each as wide as the lens is within it, in the
        // maps' coordinates; the maps leave every pixel outside them as it is.
        std::vector<cv::Rect> bands;
        // Stretch and squeeze: per output row, the source row and the weight (of 256) of the next one.
        std::vector<int> rows;
        std::vector<std::uint16_t> rowWeights;
        // Light tunnel: per pixel its angle's rim sample (CV_16UC1); per row the span inside the ring.
        cv::Mat angles;
        std::vector<int> insideBegin, insideEnd;
        cv::Mat rimXY, rimFraction; // 1 × n sample positions on the rim
    };

    // The maps of kind for key; build fills them when the slot was built for another key.
    template <class Build>
    const Maps& Get(MirrorKind kind, const Key& key, Build&& build)
    {
        Slot& slot = slots_[static_cast<int>(kind)];
        if (!slot.key || !(*slot.key == key)) {
            slot.maps = Maps {};
            build(slot.maps);
            slot.key = key;
            ++builds_;
        }
        return slot.maps;
    }

    // How many times maps were built, over all kinds.
    int Builds() const { return builds_; }

    // A copy of the source pixels, reused from frame to frame.
    cv::Mat& Scratch() { return scratch_; }

private:
    struct Slot {
        std::optional<Key> key;
        Maps maps;
    };
    std::array<Slot, static_cast<int>(MirrorKind::Count)> slots_ {};
    cv::Mat scratch_;
    int builds_ = 0;
};

// A magnifying lens over the middle of the picture: the border stays, the centre grows.
void ApplyBulge(cv::Mat& frame, FunMapCache& cache);
// The opposite lens: the middle shrinks, the border stays.
void ApplyPinch(cv::Mat& frame, FunMapCache& cache);
// The middle turned about the centre, most at the centre and not at all at the lens rim.
void ApplyTwirl(cv::Mat& frame, FunMapCache& cache);
// The middle rows drawn out tall (a tall funhouse mirror); the top and bottom rows stay.
void ApplyStretch(cv::Mat& frame, FunMapCache& cache);
// The middle rows pressed flat; the top and bottom rows stay.
void ApplySqueeze(cv::Mat& frame, FunMapCache& cache);
// The middle of the picture seen through a round fish-eye lens; black outside the circle.
void ApplyFishEye(cv::Mat& frame, FunMapCache& cache);
// The left half mirrored onto the right half (an odd middle column stays).
void ApplyMirrorLeft(cv::Mat& frame);
// Six 60° segments about the centre, alternately mirrored, all showing the wedge above the centre.
void ApplyKaleidoscope(cv::Mat& frame, FunMapCache& cache);
// A circle in the middle kept; outside it, its rim drawn out into streaks toward the edges.
void ApplyLightTunnel(cv::Mat& frame, FunMapCache& cache);
// The bulge on the face (sized by its width), or on the picture centre without one.
void ApplyBigHead(cv::Mat& frame, FunMapCache& cache, const std::optional<FunFace>& face);
// A sideways pinch on the face that narrows it, or on the picture centre without one.
void ApplyThinFace(cv::Mat& frame, FunMapCache& cache, const std::optional<FunFace>& face);
