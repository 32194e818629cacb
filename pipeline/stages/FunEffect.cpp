#include "pipeline/stages/FunEffect.h"

#include <algorithm>

FunEffect FunEffectFromStored(int value)
{
    const auto known = std::find(kFunEffects.begin(), kFunEffects.end(), static_cast<FunEffect>(value));
    return known == kFunEffects.end() ? kFunNone : *known;
}

bool FunEffectMovesPicture(FunEffect effect)
{
    switch (effect) {
    case kFunBulge:
    case kFunPinch:
    case kFunTwirl:
    case kFunStretch:
    case kFunSqueeze:
    case kFunFishEye:
    case kFunMirror:
    case kFunKaleidoscope:
    case kFunLightTunnel:
    case kFunBigHead:
    case kFunThinFace:
    case kFunPop:
        return true;
    case kFunNone:
    case kFunThermal:
    case kFunXRay:
    case kFunComic:
    case kFunMosaic:
    case kFunOldFilm:
        break;
    }
    return false;
}

void ApplyFunEffect(cv::Mat& frame, FunEffect effect, FunEffectState& state, const std::optional<FunFace>& face,
    std::int64_t frameNumber)
{
    switch (effect) {
    case kFunNone:
        break;
    case kFunBulge:
        ApplyBulge(frame, state.maps);
        break;
    case kFunPinch:
        ApplyPinch(frame, state.maps);
        break;
    case kFunTwirl:
        ApplyTwirl(frame, state.maps);
        break;
    case kFunStretch:
        ApplyStretch(frame, state.maps);
        break;
    case kFunSqueeze:
        ApplySqueeze(frame, state.maps);
        break;
    case kFunFishEye:
        ApplyFishEye(frame, state.maps);
        break;
    case kFunMirror:
        ApplyMirrorLeft(frame);
        break;
    case kFunKaleidoscope:
        ApplyKaleidoscope(frame, state.maps);
        break;
    case kFunLightTunnel:
        ApplyLightTunnel(frame, state.maps);
        break;
    case kFunBigHead:
        ApplyBigHead(frame, state.maps, face);
        break;
    case kFunThinFace:
        ApplyThinFace(frame, state.maps, face);
        break;
    case kFunThermal:
        ApplyThermal(frame);
        break;
    case kFunXRay:
        ApplyXRay(frame);
        break;
    case kFunComic:
        ApplyComic(frame);
        break;
    case kFunPop:
        ApplyPop(frame);
        break;
    case kFunMosaic:
        ApplyMosaic(frame);
        break;
    case kFunOldFilm:
        ApplyOldFilm(frame, state.film, frameNumber);
        break;
    }
}
