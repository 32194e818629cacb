#pragma once

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QSize>
#include <QString>

#include <memory>

// The most pixels one decode may make, in bytes at 4 a pixel. A header that promises more is
// refused before anything is decoded: a few hundred bytes of PNG can announce gigabytes.
constexpr qint64 kDecodeBudgetBytes = qint64{128} << 20;
bool WithinDecodeBudget(QSize decoded);

// The largest size of picture's shape inside fit; the picture's own when it fits or fit is empty.
QSize FittedSize(QSize picture, QSize fit);

// A reader on one image file that gives each frame the way the file says it is shown (its EXIF
// orientation applied) and opens names carried with raw bytes (FileNameBytes.h).
class ImageFileReader {
public:
    explicit ImageFileReader(const QString& path);
    ImageFileReader(const ImageFileReader&) = delete;
    ImageFileReader& operator=(const ImageFileReader&) = delete;

    bool isOpen() const { return file_ != nullptr; }
    QImageReader& reader() { return reader_; }
    // The size of the first frame as stored, from the header; invalid when it cannot be read.
    QSize StoredSize();
    // The same turned by the orientation: the size of the frames read.
    QSize ShownSize();
    // Whether the orientation turns the picture by a quarter (width and height swap).
    bool QuarterTurned();
    // Back to the first frame, to play an animation again.
    bool Rewind();

private:
    std::unique_ptr<QFile> file_; // before reader_, which reads from it
    QImageReader reader_;
};

// The first picture of a file, oriented, in premultiplied pixels, scaled down to fit inside
// fitInside when that is not empty.
struct StillImage {
    enum Outcome { Loaded, Unreadable, TooLarge };
    Outcome outcome = Unreadable;
    QImage image;
};
StillImage ReadStillImage(const QString& path, QSize fitInside = {});
