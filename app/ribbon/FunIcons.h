#pragma once

#include "pipeline/stages/FunEffect.h"

class IconCanvas;

// The fun effects' pictures: the house's little landscape (a face for the effects that follow
// faces) put through the effect itself, so each icon shows what its effect does.
void FunEffectPicture(IconCanvas& c, FunEffect effect);
// The preview grid: nine little pictures, the middle one plain; step -1 or 1 adds the page arrow.
void FunPreviewPicture(IconCanvas& c, int step = 0);
