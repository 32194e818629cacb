#include "decorations/PhotoThumbnail.h"

#include "ui/FileNameBytes.h"
#include "decorations/FolderScan.h"
#include "decorations/ImageFileReader.h"
#include "decorations/VideoThumbnail.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <thread>

namespace {

// Runs `work` on the calling thread and threads - 1 others, and waits for all of them.
void RunOnThreads(unsigned threads, const std::function<void()>& work)
{
    std::vector<std::thread> helpers;
    for (unsigned t = 1; t < threads; ++t)
        helpers.emplace_back(work);
    work();
    for (auto& helper : helpers)
        helper.join();
}

} // namespace

namespace {

// libjpeg decodes directly at M/8 of the full size; take the smallest such size that still
// covers the target, so the cubic scaling always works from at least as many pixels as it makes.
QSize JpegDecodeSize(QSize full, QSize target)
{
    const double need = std::max(double(target.width()) / full.width(),
                                 double(target.height()) / full.height());
    const int m = std::clamp(static_cast<int>(std::ceil(need * 8.0 - 1e-9)), 1, 8);
    return {static_cast<int>(std::ceil(full.width() * m / 8.0)),
            static_cast<int>(std::ceil(full.height() * m / 8.0))};
}

bool IsScalableJpeg(QImageReader& reader)
{
    return reader.format() == "jpeg" && reader.supportsOption(QImageIOHandler::ScaledSize);
}

// Where the picture goes inside a thumbnail of the given size: all of it, or a band across the
// middle for a picture wider than thumbnails may be.
QRect PictureArea(QSize picture, QSize thumbnail)
{
    const double natural = double(thumbnail.height()) * picture.width() / picture.height();
    if (natural <= thumbnail.width() + 1.0)
        return QRect(QPoint(0, 0), thumbnail);
    const int band = std::clamp(static_cast<int>(std::lround(double(thumbnail.width()) * picture.height() /
                                                              picture.width())),
                                1, thumbnail.height());
    return QRect(0, (thumbnail.height() - band) / 2, thumbnail.width(), band);
}

// Cubic overshoot can push a colour above its alpha, which is no valid premultiplied pixel.
void ClampToAlpha(QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto* p = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int a = qAlpha(p[x]);
            if (a == 255)
                continue;
            p[x] = qRgba(std::min(qRed(p[x]), a), std::min(qGreen(p[x]), a),
                         std::min(qBlue(p[x]), a), a);
        }
    }
}

} // namespace

std::optional<float> ThumbnailWidth(QSize picture, float height)
{
    if (!picture.isValid() || picture.isEmpty())
        return std::nullopt;
    const float natural = height / static_cast<float>(picture.height()) * static_cast<float>(picture.width());
    const float width = std::min(natural, kMaxThumbnailWidthPerHeight * height);
    if (static_cast<int>(width) <= 0 || static_cast<int>(height) <= 0)
        return std::nullopt;
    return width;
}

std::optional<PictureHeader> ReadPictureHeader(const QString& path, const PictureHeader* known)
{
    const std::optional<FileStamp> stamp = StatFile(path);
    if (!stamp)
        return std::nullopt;
    if (known && stamp->size == known->fileSize && stamp->modified == known->modified)
        return *known;
    QSize size;
    if (IsVideoFile(path)) {
        size = ReadVideoFrameSize(path); // known only by opening the video
    } else {
        ImageFileReader file(path);
        size = file.ShownSize();
        QSize smallest = file.StoredSize();
        if (IsScalableJpeg(file.reader()))
            smallest = JpegDecodeSize(smallest, QSize(1, 1));
        if (!WithinDecodeBudget(smallest))
            return std::nullopt;
    }
    if (!size.isValid() || size.isEmpty())
        return std::nullopt;
    return PictureHeader{size, stamp->size, stamp->modified};
}

std::vector<std::optional<PictureHeader>>
ReadPictureHeaders(const std::vector<QString>& paths, const QHash<QString, PictureHeader>* known,
                   unsigned threads, const std::atomic<bool>* cancel)
{
    std::vector<std::optional<PictureHeader>> results(paths.size());
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<size_t>(threads, paths.size()));
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < paths.size(); i = next++) {
            if (cancel && cancel->load(std::memory_order_relaxed))
                return;
            const PictureHeader* before = nullptr;
            if (known) {
                auto it = known->constFind(paths[i]);
                if (it != known->constEnd())
                    before = &*it;
            }
            results[i] = ReadPictureHeader(paths[i], before);
        }
    };
    RunOnThreads(threads, work);
    return results;
}

std::optional<PhotoThumbnail> LoadPhotoThumbnail(const QString& path, float height)
{
    const std::optional<FileStamp> stamp = StatFile(path);
    if (!stamp)
        return std::nullopt;
    const bool video = IsVideoFile(path);
    std::optional<ImageFileReader> file;
    QImage first; // a video's first frame, read whole
    QSize full;   // as shown
    if (video) {
        first = ReadFirstVideoFrame(path);
        full = first.size();
    } else {
        file.emplace(path);
        full = file->ShownSize();
    }
    const std::optional<float> width = ThumbnailWidth(full, height);
    if (!width)
        return std::nullopt;

    PhotoThumbnail thumb;
    thumb.height = height;
    thumb.width = *width;
    const QSize target(static_cast<int>(thumb.width), static_cast<int>(height));
    const QRect area = PictureArea(full, target);
    if (!video) {
        // The decoder works in the file's own orientation; the picture is turned after.
        const bool turned = file->QuarterTurned();
        QSize decode = file->StoredSize();
        if (IsScalableJpeg(file->reader())) {
            const QSize stored = JpegDecodeSize(decode, turned ? area.size().transposed() : area.size());
            if (stored.width() < decode.width()) {
                file->reader().setScaledSize(stored);
                decode = stored;
            }
        }
        if (!WithinDecodeBudget(decode))
            return std::nullopt;
    }
    QImage frame = video ? first : file->reader().read(); // the first frame of an animation
    if (frame.isNull())
        return std::nullopt;

    const bool alpha = frame.hasAlphaChannel();
    // Opaque pixels in RGB32 carry alpha 255 and so are already premultiplied.
    frame = frame.convertToFormat(alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    QImage scaled(target, QImage::Format_ARGB32_Premultiplied);
    if (scaled.isNull())
        return std::nullopt;
    if (area.size() != target)
        scaled.fill(Qt::transparent); // the bands beside a letterboxed picture
    const cv::Mat src(frame.height(), frame.width(), CV_8UC4, frame.bits(),
                      static_cast<size_t>(frame.bytesPerLine()));
    cv::Mat dst(scaled.height(), scaled.width(), CV_8UC4, scaled.bits(),
                static_cast<size_t>(scaled.bytesPerLine()));
    cv::Mat inside = dst(cv::Rect(area.x(), area.y(), area.width(), area.height()));
    cv::resize(src, inside, inside.size(), 0, 0, cv::INTER_CUBIC);
    if (alpha)
        ClampToAlpha(scaled);
    if (video)
        DrawFilmBadge(scaled);

    thumb.bitmap = std::move(scaled);
    thumb.fileSize = stamp->size;
    thumb.modified = stamp->modified;
    return thumb;
}

std::vector<std::optional<PhotoThumbnail>> LoadPhotoThumbnails(const std::vector<QString>& paths,
                                                                float height, unsigned threads)
{
    std::vector<std::optional<PhotoThumbnail>> results(paths.size());
    if (threads == 0)
        threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<size_t>(threads, paths.size()));
    std::atomic<size_t> next{0};
    auto work = [&] {
        for (size_t i = next++; i < paths.size(); i = next++)
            results[i] = LoadPhotoThumbnail(paths[i], height);
    };
    RunOnThreads(threads, work);
    return results;
}

bool ThumbnailIsCurrent(const PhotoThumbnail& thumbnail, const QString& path, float height)
{
    const std::optional<FileStamp> stamp = StatFile(path);
    return thumbnail.height == height && stamp && stamp->size == thumbnail.fileSize &&
           stamp->modified == thumbnail.modified;
}
