#pragma once

#include <QDateTime>
#include <QImage>
#include <QString>

#include <optional>
#include <vector>

// A thumbnail prepared from the first frame of an image file: scaled with cubic interpolation
// to a given height, keeping the aspect ratio, in premultiplied 32-bit pixels.
struct PhotoThumbnail {
    QImage bitmap;      // (int)width × (int)height, Format_ARGB32_Premultiplied
    float width = 0.0f; // height / frame height × frame width
    float height = 0.0f;
    // The file as it was when decoded; a changed file is decoded again.
    qint64 fileSize = -1;
    QDateTime modified;
};

// Decodes only as much as the thumbnail shows: a JPEG is decoded at a reduced size close to
// the thumbnail, then scaled. Nothing when the file cannot be read or gives an empty thumbnail.
std::optional<PhotoThumbnail> LoadPhotoThumbnail(const QString& path, float height);

// The same for many files, spread over worker threads; results keep the order of paths.
// threads 0 means one per processor core.
std::vector<std::optional<PhotoThumbnail>> LoadPhotoThumbnails(const std::vector<QString>& paths,
                                                                float height, unsigned threads = 0);

// True when the file still has the size and time recorded in the thumbnail.
bool ThumbnailIsCurrent(const PhotoThumbnail& thumbnail, const QString& path, float height);
