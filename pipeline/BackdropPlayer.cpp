#include "pipeline/BackdropPlayer.h"

#include <QFile>
#include <QImage>
#include <QImageReader>
#include <opencv2/imgproc.hpp>
#include <opencv2/videoio.hpp>

#include <algorithm>
#include <cmath>

namespace {

// An animation is decoded whole; past this many pixels in all its frames the rest is left out, so
// a hostile GIF cannot take the memory.
constexpr qint64 kAnimationPixels = qint64 { 200 } << 20;
constexpr double kLeastFrameSeconds = 0.02;

cv::Mat ToBgr(const QImage& image)
{
    const QImage bgr = image.convertToFormat(QImage::Format_BGR888);
    return cv::Mat(bgr.height(), bgr.width(), CV_8UC3, const_cast<uchar*>(bgr.constBits()),
        static_cast<size_t>(bgr.bytesPerLine()))
        .clone();
}

cv::Mat ScaledTo(const cv::Mat& picture, cv::Size size)
{
    if (picture.size() == size)
        return picture;
    cv::Mat scaled;
    cv::resize(picture, scaled, size, 0, 0, cv::INTER_AREA);
    return scaled;
}

class StillBackdrop final : public BackdropPlayer {
public:
    explicit StillBackdrop(cv::Mat picture) : picture_(std::move(picture)) {}
    cv::Mat PictureAt(cv::Size size, double) override
    {
        if (scaled_.size() != size)
            scaled_ = ScaledTo(picture_, size);
        return scaled_;
    }

private:
    cv::Mat picture_;
    cv::Mat scaled_;
};

std::unique_ptr<BackdropPlayer> OpenImage(const QString& path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    std::vector<cv::Mat> frames;
    std::vector<double> durations;
    qint64 pixels = 0;
    for (;;) {
        QImage image = reader.read();
        if (image.isNull())
            break;
        pixels += qint64(image.width()) * image.height();
        if (pixels > kAnimationPixels && !frames.empty())
            break;
        frames.push_back(ToBgr(image));
        durations.push_back(std::max(reader.nextImageDelay() / 1000.0, kLeastFrameSeconds));
        if (!reader.supportsAnimation() || reader.imageCount() == 1)
            break;
    }
    if (frames.empty())
        return nullptr;
    if (frames.size() == 1)
        return std::make_unique<StillBackdrop>(frames.front());
    return std::make_unique<AnimatedBackdrop>(std::move(frames), std::move(durations));
}

} // namespace

bool IsBackdropVideo(const QString& path)
{
    for (const char* extension : { ".mp4", ".webm", ".avi" })
        if (path.endsWith(QLatin1String(extension), Qt::CaseInsensitive))
            return true;
    return false;
}

std::unique_ptr<BackdropPlayer> BackdropPlayer::Open(const QString& path)
{
    if (IsBackdropVideo(path))
        return VideoBackdrop::Open(QFile::encodeName(path).toStdString());
    return OpenImage(path);
}

std::unique_ptr<BackdropPlayer> BackdropPlayer::FromStill(const cv::Mat& bgr)
{
    if (bgr.empty() || bgr.type() != CV_8UC3)
        return nullptr;
    return std::make_unique<StillBackdrop>(bgr.clone());
}

AnimatedBackdrop::AnimatedBackdrop(std::vector<cv::Mat> frames, std::vector<double> durations)
    : frames_(std::move(frames))
{
    double end = 0;
    for (double d : durations) {
        end += d;
        ends_.push_back(end);
    }
    scaled_.resize(frames_.size());
}

int AnimatedBackdrop::FrameAt(double sinceStart) const
{
    if (ends_.empty())
        return -1;
    const double loop = ends_.back();
    const double t = std::fmod(std::max(sinceStart, 0.0), loop);
    const auto it = std::upper_bound(ends_.begin(), ends_.end(), t);
    return it == ends_.end() ? int(ends_.size()) - 1 : int(it - ends_.begin());
}

cv::Mat AnimatedBackdrop::PictureAt(cv::Size size, double seconds)
{
    if (frames_.empty())
        return {};
    if (origin_ < 0 || seconds < origin_)
        origin_ = seconds;
    if (size != scaledSize_) {
        scaled_.assign(frames_.size(), cv::Mat());
        scaledSize_ = size;
    }
    const int frame = FrameAt(seconds - origin_);
    if (scaled_[frame].empty())
        scaled_[frame] = ScaledTo(frames_[frame], size);
    return scaled_[frame];
}

std::unique_ptr<VideoBackdrop> VideoBackdrop::Open(const std::string& path)
{
    // FFmpeg only: the other back ends would look for cameras under a file's name.
    cv::VideoCapture probe(path, cv::CAP_FFMPEG);
    cv::Mat first;
    if (!probe.isOpened() || !probe.read(first) || first.empty())
        return nullptr;
    std::unique_ptr<VideoBackdrop> video(new VideoBackdrop);
    video->path_ = path;
    const double fps = probe.get(cv::CAP_PROP_FPS);
    if (fps >= 1 && fps <= 240)
        video->frameSeconds_ = 1.0 / fps;
    probe.release();
    video->reader_ = std::thread(&VideoBackdrop::ReadLoop, video.get());
    return video;
}

VideoBackdrop::~VideoBackdrop()
{
    {
        std::scoped_lock lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    if (reader_.joinable())
        reader_.join();
}

void VideoBackdrop::ReadLoop()
{
    cv::VideoCapture capture(path_, cv::CAP_FFMPEG);
    double playAt = 0; // the time of the next frame read, from the start of play
    int framesThisLoop = 0;
    cv::Mat raw;
    for (;;) {
        cv::Size size;
        {
            std::unique_lock lock(mutex_);
            // Waits for the worker to take the frame kept ready, and to say what size it wants.
            wake_.wait(lock, [&] { return stop_ || (!nextReady_ && !size_.empty()); });
            if (stop_)
                return;
            size = size_;
        }
        if (!capture.isOpened() || !capture.read(raw) || raw.empty()) {
            if (framesThisLoop == 0)
                return; // not one frame in a whole loop: nothing more to show
            // The end: round again from the first frame.
            capture.release();
            capture.open(path_, cv::CAP_FFMPEG);
            framesThisLoop = 0;
            continue;
        }
        ++framesThisLoop;
        const double at = playAt;
        playAt += frameSeconds_;
        {
            std::scoped_lock lock(mutex_);
            // Behind the picture's time (a slow decoder, a busy machine): skip to the frame due.
            if (playAt <= wantedAt_)
                continue;
        }
        cv::Mat bgr;
        if (raw.channels() == 1)
            cv::cvtColor(raw, bgr, cv::COLOR_GRAY2BGR);
        else if (raw.channels() == 4)
            cv::cvtColor(raw, bgr, cv::COLOR_BGRA2BGR);
        else
            bgr = raw;
        cv::Mat scaled = ScaledTo(bgr, size).clone();
        {
            std::scoped_lock lock(mutex_);
            next_ = std::move(scaled);
            nextAt_ = at;
            nextReady_ = true;
        }
    }
}

cv::Mat VideoBackdrop::PictureAt(cv::Size size, double seconds)
{
    if (origin_ < 0 || seconds < origin_)
        origin_ = seconds;
    bool wake = false;
    {
        std::scoped_lock lock(mutex_);
        wantedAt_ = seconds - origin_;
        if (size != size_) {
            size_ = size;
            wake = true;
        }
        // The frame kept ready is shown once its time has come; the reader then decodes the next.
        if (nextReady_ && nextAt_ <= seconds - origin_) {
            shown_ = next_;
            next_.release();
            nextReady_ = false;
            wake = true;
        }
    }
    if (wake)
        wake_.notify_all();
    if (shown_.empty())
        return {};
    return ScaledTo(shown_, size);
}
