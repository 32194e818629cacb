#pragma once

#include "tools/assetgen/Animation.h"

#include <QByteArray>
#include <QString>

// Encodes an animation as a looping GIF89a (see EncodeGif).
// Returns an empty array and sets *error when giflib refuses.
QByteArray encodeGif(const Animation& animation, QString* error);
