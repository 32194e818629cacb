#pragma once

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>

#include <optional>
#include <vector>

// A thumbnail prepared from the first frame of an image file, turned as its EXIF orientation
// says: scaled with cubic interpolation to a given height, keeping the aspect ratio, in
// premultiplied 32-bit pixels. A very wide picture gives a thumbnail of the widest allowed
// width, the picture letterboxed inside on a transparent ground.
struct PhotoThumbnail {
    QImage bitmap;      // (int)width × (int)height, Format_ARGB32_Premultiplied
    float width = 0.0f; // height / frame height × frame width
    float height = 0.0f;
    // The file as it was when decoded; a changed file is decoded again.
    qint64 fileSize = -1;
    QDateTime modified;
};

// What a file's header tells about its picture, read without decoding it. size is as shown,
// its orientation applied.
struct PictureHeader {
    QSize size;
    qint64 fileSize = -1;
    QDateTime modified;
};

// The size of the first frame from the header alone; nothing when the header cannot be read or
// even the smallest decode it allows would exceed the decode budget.
// A known header of the file is taken as it is while the file keeps its size and time.
std::optional<PictureHeader> ReadPictureHeader(const QString& path,
                                               const PictureHeader* known = nullptr);

// The same for many files, spread over worker threads (0: one per core); results keep the
// order of paths. Stops early, leaving the rest empty, when cancel becomes true.
std::vector<std::optional<PictureHeader>>
ReadPictureHeaders(const std::vector<QString>& paths,
                   const QHash<QString, PictureHeader>* known = nullptr, unsigned threads = 0,
                   const std::atomic<bool>* cancel = nullptr);

// A thumbnail is at most this many strip heights wide (the thumbnail is 3/4 of its strip), so
// that a banner of a few pixels' height neither takes gigabytes nor fills the whole row.
constexpr float kMaxThumbnailWidthInStripHeights = 4.0f;
constexpr float kMaxThumbnailWidthPerHeight = kMaxThumbnailWidthInStripHeights / 0.75f;

// The width of a thumbnail of the given height for a picture of the given size (as shown, its
// orientation applied), or nothing when the picture or the thumbnail would be empty. Laying out
// from headers and decoding agree on every width because both ask here.
std::optional<float> ThumbnailWidth(QSize picture, float height);

// Decodes only as much as the thumbnail shows: a JPEG is decoded at a reduced size close to
// the thumbnail, then scaled. Nothing when the file cannot be read, gives an empty thumbnail or
// would decode beyond the decode budget.
std::optional<PhotoThumbnail> LoadPhotoThumbnail(const QString& path, float height);

// The same for many files, spread over worker threads; results keep the order of paths.
// threads 0 means one per processor core.
std::vector<std::optional<PhotoThumbnail>> LoadPhotoThumbnails(const std::vector<QString>& paths,
                                                                float height, unsigned threads = 0);

// True when the file still has the size and time recorded in the thumbnail.
bool ThumbnailIsCurrent(const PhotoThumbnail& thumbnail, const QString& path, float height);
