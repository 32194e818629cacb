#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

#include <vector>

// Encodes frames as a looping GIF89a with one shared colour table; delays are in hundredths of
// a second, one per frame.
// Opaque frames after the first are stored as the rectangle that changed, drawn over the
// previous frame (disposal 1) with unchanged pixels transparent; frames with transparent
// pixels are stored whole and cleared before the next one (disposal 2), so nothing of an
// earlier frame shows through.
// Returns an empty array and sets *error when giflib refuses.
QByteArray EncodeGif(const std::vector<QImage>& frames, const std::vector<int>& delays, QString* error);
