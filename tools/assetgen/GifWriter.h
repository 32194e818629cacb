#pragma once

#include "tools/assetgen/Animation.h"

#include <QByteArray>
#include <QString>

// Encodes an animation as a looping GIF89a with one shared colour table.
// Opaque animations store each later frame as the rectangle that changed, drawn over the
// previous frame (disposal 1) with unchanged pixels transparent; animations with
// transparent pixels store whole frames that are cleared before the next one (disposal 2),
// so nothing of an earlier frame shows through.
// Returns an empty array and sets *error when giflib refuses.
QByteArray encodeGif(const Animation& animation, QString* error);
