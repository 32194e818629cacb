#include "decorations/ImageFileReader.h"

#include "ui/FileNameBytes.h"

bool WithinDecodeBudget(QSize decoded)
{
    return decoded.isValid() &&
           qint64{decoded.width()} * qint64{decoded.height()} * 4 <= kDecodeBudgetBytes;
}

QSize FittedSize(QSize picture, QSize fit)
{
    if (fit.isEmpty() || (picture.width() <= fit.width() && picture.height() <= fit.height()))
        return picture;
    return picture.scaled(fit, Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
}

ImageFileReader::ImageFileReader(const QString& path) : file_(OpenForReading(path))
{
    if (!file_)
        return;
    reader_.setDevice(file_.get());
    reader_.setDecideFormatFromContent(true);
    reader_.setAutoTransform(true);
}

QSize ImageFileReader::StoredSize()
{
    if (!isOpen())
        return {};
    const QSize size = reader_.size();
    // Qt decodes every frame of a GIF at the size of its logical screen, but reports the size
    // of the first image in it when the screen is larger than Qt will decode. The screen
    // descriptor follows "GIF87a" or "GIF89a": width and height, little-endian.
    const qint64 at = file_->pos();
    QByteArray head;
    if (file_->seek(0))
        head = file_->read(10);
    file_->seek(at);
    if (head.size() < 10 || !head.startsWith("GIF8"))
        return size;
    const auto byte = [&](int i) { return static_cast<unsigned char>(head[i]); };
    const QSize screen(byte(6) | byte(7) << 8, byte(8) | byte(9) << 8);
    return size.isValid() ? size.expandedTo(screen) : screen;
}

bool ImageFileReader::QuarterTurned()
{
    return isOpen() && (reader_.transformation() & QImageIOHandler::TransformationRotate90);
}

QSize ImageFileReader::ShownSize()
{
    const QSize stored = StoredSize();
    return QuarterTurned() ? stored.transposed() : stored;
}

bool ImageFileReader::Rewind()
{
    if (!isOpen() || !file_->seek(0))
        return false;
    reader_.setDevice(file_.get()); // a new handler, at the first frame
    return true;
}

StillImage ReadStillImage(const QString& path, QSize fitInside)
{
    StillImage still;
    ImageFileReader file(path);
    const QSize natural = file.ShownSize();
    if (!file.isOpen() || natural.isEmpty())
        return still;
    if (!WithinDecodeBudget(natural)) {
        still.outcome = StillImage::TooLarge;
        return still;
    }
    const QImage decoded = file.reader().read();
    if (decoded.isNull())
        return still;
    still.image = decoded.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const QSize fitted = FittedSize(still.image.size(), fitInside);
    if (fitted != still.image.size())
        still.image = still.image.scaled(fitted, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    still.outcome = StillImage::Loaded;
    return still;
}
