#pragma once

#include "pipeline/stages/FunEffect.h"

#include <QString>

// A fun effect's caption as written in the source ("无" for none), translated in the command
// table's context, so the rows, the gallery and the preview grid's labels share one text.
const char* FunEffectSourceName(FunEffect effect);
QString FunEffectName(FunEffect effect);
// A tile's label in the preview grid: the effect's name, "原图" for the picture as it is.
QString FunPreviewLabel(FunEffect effect);
