#pragma once

#include "pipeline/faces/FaceTracks.h"
#include "pipeline/stages/FunEffect.h"

#include <optional>
#include <vector>

// Whether a fun effect follows the face (the big head and the thin face).
bool FunEffectFollowsFace(FunEffect effect);

// The face a fun effect follows among the faces shown in the picture (picture pixels): the
// largest, the one nearest the camera when several people are in the picture; none without a face.
std::optional<FunFace> FaceForFunEffect(const std::vector<TrackedFace>& pictureFaces);
