#include "pipeline/record/GifRecorder.h"

#include "pipeline/stages/BackgroundThread.h"

#include "pipeline/record/BgrPicture.h"

#include "pipeline/record/GifEncoder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryFile>

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>

namespace {

// Hundredths of a second, as a GIF stores its delays.
constexpr int kDelay = 100 / GifRecorder::kFramesPerSecond;

QString Text(const char* source)
{
    return QCoreApplication::translate("GifRecorder", source);
}

PhotoResult Failure(const char* reason, const QString& where)
{
    PhotoResult result;
    result.message = Text("动图保存失败：") + Text(reason).arg(QDir::toNativeSeparators(where));
    return result;
}

// A small BGR copy of the picture the GIF keeps; never shares memory with the caller's picture.
cv::Mat Scaled(const cv::Mat& picture)
{
    cv::Mat bgr = AsBgr(picture);
    if (bgr.empty())
        return {};
    const cv::Size size = GifRecorder::RecordedSize(bgr.size());
    cv::Mat small;
    if (size == bgr.size())
        small = bgr.clone();
    else
        cv::resize(bgr, small, size, 0, 0, cv::INTER_AREA); // averaging keeps thin lines visible
    return small;
}

} // namespace

GifRecorder::GifRecorder(Notify onSaved, WallClock wallClock)
    : onSaved_(std::move(onSaved))
    , wallClock_(std::move(wallClock))
    , encoder_([this] { EncoderLoop(); })
{
}

GifRecorder::~GifRecorder()
{
    Stop();
    {
        std::scoped_lock lock(lock_);
        quitting_ = true;
    }
    wake_.notify_one();
    encoder_.join();
}

cv::Size GifRecorder::RecordedSize(cv::Size picture)
{
    if (picture.width <= kMaxWidth)
        return picture;
    const int height = std::max(1, static_cast<int>(std::lround(double(picture.height) * kMaxWidth / picture.width)));
    return {kMaxWidth, height};
}

bool GifRecorder::Start(const QString& folder, int seconds, QString& message)
{
    if (!QFileInfo(folder).isDir()) {
        message = Failure(QFileInfo::exists(folder) ? "照片文件夹的位置上是一个文件，不是文件夹（%1）"
                                                    : "照片文件夹不存在（%1）",
                          folder).message;
        return false;
    }
    std::scoped_lock lock(lock_);
    if (collecting_ || encoding_ || job_) {
        message = Text("上一个动图还没有完成");
        return false;
    }
    collecting_ = true;
    wanted_ = std::clamp(seconds, 1, 10) * kFramesPerSecond;
    frames_.clear();
    frames_.reserve(static_cast<std::size_t>(wanted_));
    folder_ = folder;
    when_ = wallClock_ ? wallClock_() : std::time(nullptr);
    haveFirst_ = false;
    message.clear();
    return true;
}

void GifRecorder::Offer(const cv::Mat& composedBgr, std::chrono::steady_clock::time_point captured)
{
    if (composedBgr.empty())
        return;
    std::size_t slot = 0;
    {
        std::scoped_lock lock(lock_);
        if (!collecting_)
            return;
        if (!haveFirst_) {
            haveFirst_ = true;
            firstAt_ = captured;
        }
        const double position = std::chrono::duration<double>(captured - firstAt_).count() * kFramesPerSecond;
        if (position < -0.5)
            return;
        slot = static_cast<std::size_t>(std::max(0LL, std::llround(position)));
        if (slot < frames_.size())
            return; // early: this tenth of a second has its picture
    }
    cv::Mat small = Scaled(composedBgr); // outside the lock: the interface thread may ask meanwhile
    if (small.empty())
        return;
    std::scoped_lock lock(lock_);
    if (!collecting_)
        return;
    const auto wanted = static_cast<std::size_t>(wanted_);
    // Late: the picture before it stays for the missing tenths.
    while (!frames_.empty() && frames_.size() < std::min(slot, wanted))
        frames_.push_back(frames_.back());
    if (frames_.size() < wanted)
        frames_.push_back(std::move(small));
    if (frames_.size() >= wanted)
        HandOffLocked();
}

void GifRecorder::Stop()
{
    std::scoped_lock lock(lock_);
    if (!collecting_)
        return;
    HandOffLocked(); // an empty job is reported as "nothing recorded"
}

void GifRecorder::Cancel()
{
    std::scoped_lock lock(lock_);
    collecting_ = false;
    frames_.clear();
}

bool GifRecorder::collecting() const
{
    std::scoped_lock lock(lock_);
    return collecting_;
}

bool GifRecorder::busy() const
{
    std::scoped_lock lock(lock_);
    return collecting_ || encoding_ || job_.has_value();
}

int GifRecorder::framesCollected() const
{
    std::scoped_lock lock(lock_);
    return static_cast<int>(frames_.size());
}

int GifRecorder::framesWanted() const
{
    std::scoped_lock lock(lock_);
    return wanted_;
}

void GifRecorder::HandOffLocked()
{
    collecting_ = false;
    job_ = Job{std::move(frames_), folder_, when_};
    frames_.clear();
    wake_.notify_one();
}

void GifRecorder::EncoderLoop()
{
    YieldCoresToThePicture();
    for (;;) {
        Job job;
        {
            std::unique_lock lock(lock_);
            wake_.wait(lock, [this] { return job_.has_value() || quitting_; });
            if (!job_)
                return;
            job = std::move(*job_);
            job_.reset();
            encoding_ = true;
        }
        const PhotoResult result = Encode(job);
        job.frames.clear();
        {
            std::scoped_lock lock(lock_);
            encoding_ = false;
        }
        if (onSaved_)
            onSaved_(result);
    }
}

PhotoResult GifRecorder::Encode(const Job& job) const
{
    if (job.frames.empty()) {
        PhotoResult result;
        result.message = Text("动图保存失败：没有录到画面");
        return result;
    }
    std::vector<QImage> images;
    images.reserve(job.frames.size());
    for (const cv::Mat& frame : job.frames) {
        const QImage view(frame.data, frame.cols, frame.rows, static_cast<qsizetype>(frame.step),
                          QImage::Format_BGR888);
        images.push_back(view.convertToFormat(QImage::Format_RGB32));
    }
    const std::vector<int> delays(images.size(), kDelay);
    QString error;
    const QByteArray bytes = EncodeGif(images, delays, &error);
    if (bytes.isEmpty())
        return Failure("无法编码动图（%1）", error);

    if (!QFileInfo(job.folder).isDir()) {
        return Failure(QFileInfo::exists(job.folder) ? "照片文件夹的位置上是一个文件，不是文件夹（%1）"
                                                     : "照片文件夹不存在（%1）",
                       job.folder);
    }
    // Hidden and not "*.gif", so no list shows a GIF still being written.
    QTemporaryFile temp(QDir(job.folder).filePath(QStringLiteral(".gif-XXXXXX.part")));
    if (!temp.open())
        return Failure("无法在照片文件夹中写入文件（%1）", job.folder);
    if (temp.write(bytes) != bytes.size() || !temp.flush() || temp.error() != QFileDevice::NoError)
        return Failure("写入动图时出错，磁盘可能已满（%1）", job.folder);
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                        | QFileDevice::ReadOther);
    const QString path = RenameToFreeName(job.folder, PhotoBaseName(job.when), QStringLiteral(".gif"),
                                          [&temp](const QString& to) { return temp.rename(to); });
    if (path.isEmpty())
        return Failure("无法在照片文件夹中写入文件（%1）", job.folder);
    temp.setAutoRemove(false);
    PhotoResult result;
    result.saved = true;
    result.path = path;
    return result;
}
