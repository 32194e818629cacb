#include "decorations/MediaClip.h"

#include "decorations/FolderScan.h"
#include "decorations/ImageEx.h"
#include "decorations/ImageFileReader.h"
#include "ui/FileNameBytes.h"

#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <cmath>

struct MediaClip::Reader {
    std::unique_ptr<ImageFileReader> image;
    cv::VideoCapture video;
    cv::Mat bgr;
};

MediaClip::MediaClip(const QString& path) : path_(path), reader_(std::make_unique<Reader>())
{
    if (!StatFile(path)) {
        outcome_ = Outcome::Missing;
        return;
    }
    if (IsVideoFile(path))
        OpenVideo();
    else
        OpenImage();
    if (outcome_ != Outcome::Shown)
        reader_.reset(); // the file is let go at once
}

MediaClip::~MediaClip() = default;

void MediaClip::OpenVideo()
{
    kind_ = Kind::Video;
    cv::VideoCapture& video = reader_->video;
    // Through FFmpeg only, as everywhere in the program: other back ends may wait on devices.
    try {
        if (!video.open(FileNameToBytes(path_).toStdString(), cv::CAP_FFMPEG) || !video.isOpened())
            return;
        const QSize size(static_cast<int>(video.get(cv::CAP_PROP_FRAME_WIDTH)),
                         static_cast<int>(video.get(cv::CAP_PROP_FRAME_HEIGHT)));
        if (size.isValid() && !WithinDecodeBudget(size)) {
            outcome_ = Outcome::TooLarge;
            return;
        }
        double rate = video.get(cv::CAP_PROP_FPS);
        if (!(rate >= 1.0 && rate <= 240.0))
            rate = kFallbackRate;
        frameMs_ = static_cast<int>(std::lround(1000.0 / rate));
        if (!ReadVideoFrame())
            return;
    } catch (const cv::Exception&) {
        return;
    }
    outcome_ = Outcome::Shown;
    // One frame alone is a still; a count the file does not give is taken as many.
    moving_ = video.get(cv::CAP_PROP_FRAME_COUNT) != 1.0;
}

void MediaClip::OpenImage()
{
    reader_->image = std::make_unique<ImageFileReader>(path_);
    ImageFileReader& file = *reader_->image;
    if (!file.isOpen())
        return;
    const QSize shown = file.ShownSize();
    if (shown.isEmpty())
        return;
    if (!WithinDecodeBudget(shown)) {
        outcome_ = Outcome::TooLarge;
        return;
    }
    if (!ReadImageFrame())
        return;
    outcome_ = Outcome::Shown;
    moving_ = file.reader().supportsAnimation() && file.reader().canRead();
    kind_ = moving_ ? Kind::Animation : Kind::Still;
}

bool MediaClip::ReadVideoFrame()
{
    cv::Mat& bgr = reader_->bgr;
    if (!reader_->video.read(bgr) || bgr.empty() || bgr.type() != CV_8UC3)
        return false;
    QImage rgb(bgr.cols, bgr.rows, QImage::Format_RGB888);
    cv::Mat view(bgr.rows, bgr.cols, CV_8UC3, rgb.bits(), static_cast<size_t>(rgb.bytesPerLine()));
    cv::cvtColor(bgr, view, cv::COLOR_BGR2RGB);
    frame_ = std::move(rgb);
    return true;
}

bool MediaClip::ReadImageFrame()
{
    QImageReader& reader = reader_->image->reader();
    QImage next = reader.read();
    if (next.isNull())
        return false;
    frame_ = std::move(next);
    // The delay that follows the frame just read, by the same rule as the decorations.
    const int delayMs = reader.nextImageDelay();
    frameMs_ = ImageEx::EffectiveDelayMs(delayMs > 0 ? static_cast<uint32_t>(delayMs / 10) : 0);
    return true;
}

bool MediaClip::Advance()
{
    if (!moving_ || !reader_)
        return false;
    bool read = false;
    try {
        if (kind_ == Kind::Video) {
            read = ReadVideoFrame();
            // The end: from the start again, by seeking or, where that fails, opening anew.
            if (!read)
                read = reader_->video.set(cv::CAP_PROP_POS_FRAMES, 0) && ReadVideoFrame();
            if (!read) {
                reader_->video.release();
                read = reader_->video.open(FileNameToBytes(path_).toStdString(), cv::CAP_FFMPEG) && ReadVideoFrame();
            }
        } else {
            ImageFileReader& file = *reader_->image;
            read = file.reader().canRead() && ReadImageFrame();
            // After the last frame, or a damaged one, the animation starts over.
            if (!read && file.Rewind())
                read = ReadImageFrame();
        }
    } catch (const cv::Exception&) {
        read = false;
    }
    if (!read)
        moving_ = false;
    return read;
}
