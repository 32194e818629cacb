#pragma once

#include "pipeline/stages/FunLooks.h"
#include "pipeline/stages/FunMirrors.h"

#include <opencv2/core.hpp>

#include <array>
#include <cstdint>
#include <optional>

// The fun effect: one at a time or none, on the whole picture, after the effect style. The numbers
// are stored in the user's settings: never renumber them, only add.
enum FunEffect : int {
    kFunNone = 0,
    kFunBulge = 1,
    kFunPinch = 2,
    kFunTwirl = 3,
    kFunStretch = 4,
    kFunSqueeze = 5,
    kFunFishEye = 6,
    kFunMirror = 7,
    kFunKaleidoscope = 8,
    kFunLightTunnel = 9,
    kFunBigHead = 10,
    kFunThinFace = 11,
    kFunThermal = 12,
    kFunXRay = 13,
    kFunComic = 14,
    kFunPop = 15,
    kFunMosaic = 16,
    kFunOldFilm = 17,
};

// Every effect (not none), in the order the gallery and the preview pages show them.
inline constexpr std::array<FunEffect, 17> kFunEffects = {
    kFunBigHead, kFunThinFace, kFunBulge, kFunPinch, kFunTwirl, kFunFishEye, kFunKaleidoscope, kFunMirror,
    kFunStretch, kFunSqueeze, kFunLightTunnel, kFunThermal, kFunXRay, kFunComic, kFunPop, kFunMosaic,
    kFunOldFilm,
};

// Whether the effect moves parts of the picture about (the mirrors, the pop tiles), rather than only
// changing its colours: what lies on a face must then go through the effect with it.
bool FunEffectMovesPicture(FunEffect effect);

// A stored number as an effect: one this version does not know (a newer version's, a damaged
// file's) is none.
FunEffect FunEffectFromStored(int value);

// What the effects keep from frame to frame: the mirrors' maps and the old film's grain. One per
// picture stream (the chain has one, the preview grid another), used by one thread at a time.
class FunEffectState {
public:
    explicit FunEffectState(unsigned seed = 1)
        : film(seed)
    {
    }

    FunMapCache maps;
    OldFilmState film;
};

// Applies effect to the BGR frame (CV_8UC3) in place. face (frame pixels) centres the big head and
// the thin face, which otherwise sit in the middle; frameNumber drives the old film's animation.
void ApplyFunEffect(cv::Mat& frame, FunEffect effect, FunEffectState& state, const std::optional<FunFace>& face,
    std::int64_t frameNumber);
