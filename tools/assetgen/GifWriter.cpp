#include "tools/assetgen/GifWriter.h"

#include "pipeline/record/GifEncoder.h"

QByteArray encodeGif(const Animation& animation, QString* error)
{
    return EncodeGif(animation.frames, animation.delays, error);
}
