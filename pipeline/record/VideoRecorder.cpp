#include "pipeline/record/VideoRecorder.h"

#include "pipeline/record/BgrPicture.h"

#include "pipeline/record/HeldFolder.h"
#include "pipeline/record/MediaFiles.h"
#include "pipeline/record/PhotoCapture.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <opencv2/imgproc.hpp>

#include <cmath>

namespace {

using Clock = std::chrono::steady_clock;

// Recording stops before the disk is quite full, so the file can still be finished and the
// rest of the system keeps room to work.
constexpr qint64 kDiskReserve = 16 * 1024 * 1024;

QString Text(const char* source)
{
    return QCoreApplication::translate("VideoRecorder", source);
}

QString Reason(const char* reason, const QString& where)
{
    return Text("录像保存失败：") + Text(reason).arg(QDir::toNativeSeparators(where));
}

bool DiskNearlyFull(const QString& folder)
{
    const QStorageInfo storage(folder);
    return storage.isValid() && storage.bytesAvailable() >= 0 && storage.bytesAvailable() < kDiskReserve;
}

// The writer wants 8-bit BGR pictures of one size.
cv::Mat AsRecorded(const cv::Mat& picture, cv::Size size)
{
    cv::Mat bgr = AsBgr(picture);
    if (bgr.empty())
        return {};
    if (bgr.size() != size)
        cv::resize(bgr, bgr, size, 0, 0, cv::INTER_AREA);
    return bgr;
}

} // namespace

VideoRecorder::VideoRecorder(Notify onEnded, VideoRecorderOptions options)
    : onEnded_(std::move(onEnded))
    , options_(std::move(options))
{
}

VideoRecorder::~VideoRecorder()
{
    Stop();
}

Clock::time_point VideoRecorder::Now() const
{
    return options_.clock ? options_.clock() : Clock::now();
}

RecordingStart VideoRecorder::Start(const QString& folder, double fps, cv::Size frameSize)
{
    std::scoped_lock guard(startStop_);
    if (recording_.load())
        return {false, {}, Text("已经在录像")};
    if (writer_.joinable())
        writer_.join(); // the last recording ended on its own (a failure) and was reported

    auto refuse = [](const QString& message) { return RecordingStart{false, {}, message}; };
    if (!QFileInfo(folder).isDir()) {
        return refuse(QFileInfo::exists(folder) ? Reason("照片文件夹的位置上是一个文件，不是文件夹（%1）", folder)
                                                : Reason("照片文件夹不存在（%1）", folder));
    }
    if (frameSize.width <= 0 || frameSize.height <= 0)
        return refuse(Text("录像保存失败：没有画面"));
    if (DiskNearlyFull(folder))
        return refuse(Reason("磁盘空间不足（%1）", folder));

    // Hidden and outside the scanned folder's own files, so no list shows a video being written.
    auto tempDir = std::make_unique<QTemporaryDir>(
        QDir(folder).filePath(QLatin1String(kRecordingFolderPrefix) + QStringLiteral("XXXXXX")));
    if (!tempDir->isValid())
        return refuse(Reason("无法在照片文件夹中写入文件（%1）", folder));
    // Without the lock the recording still runs; only another run's clean-up could then take it.
    auto heldLock = std::make_unique<QLockFile>(tempDir->filePath(QLatin1String(kRecordingLockName)));
    heldLock->setStaleLockTime(0); // a long recording is not stale; only a dead owner makes it so
    (void)heldLock->tryLock(0);

    const std::time_t when = options_.wallClock ? options_.wallClock() : std::time(nullptr);
    const QString baseName = PhotoBaseName(when);
    const QString tempPath = tempDir->filePath(baseName + QStringLiteral(".mp4"));
    // Cameras that do not know their rate report 0.
    const double usedFps = (std::isfinite(fps) && fps >= 1 && fps <= 240) ? fps : 30.0;

    std::unique_ptr<VideoSink> sink = options_.sinkFactory ? options_.sinkFactory() : MakeOpenCvVideoSink();
    const QString codec = sink ? sink->Open(tempPath, usedFps, frameSize) : QString();
    if (codec.isEmpty())
        return refuse(Reason("没有可用的视频编码器（%1）", folder));

    sink_ = std::move(sink);
    heldDir_ = std::make_unique<HeldFolder>(tempDir->path());
    tempDir_ = std::move(tempDir);
    lock_ = std::move(heldLock);
    folder_ = folder;
    baseName_ = baseName;
    tempPath_ = tempPath;
    fps_ = usedFps;
    frameSize_ = frameSize;
    haveFirst_ = false;
    written_ = 0;
    last_.release();
    result_ = {};
    dropped_.store(0);
    {
        std::scoped_lock lock(queueLock_);
        queue_.clear();
        accepting_ = true;
        stopRequested_ = false;
    }
    startedAt_.store(Now().time_since_epoch().count());
    recording_.store(true);
    writer_ = std::thread([this] { WriterLoop(); });

    RecordingStart started{true, codec, {}};
    started.message = codec == QLatin1String(kPreferredVideoCodec)
        ? Text("正在录像（%1）").arg(codec)
        : Text("正在录像（本机没有 H.264 编码器，改用 %1）").arg(codec);
    return started;
}

void VideoRecorder::Offer(const cv::Mat& composedBgr, Clock::time_point captured)
{
    if (!recording_.load() || composedBgr.empty())
        return;
    {
        std::scoped_lock lock(queueLock_);
        if (!accepting_)
            return;
        if (queue_.size() >= options_.queueCapacity) {
            dropped_.fetch_add(1);
            return;
        }
    }
    // Copied outside the lock; only the writer takes from the queue, so the room stays.
    Offered offered{composedBgr.clone(), captured};
    {
        std::scoped_lock lock(queueLock_);
        if (!accepting_)
            return;
        queue_.push_back(std::move(offered));
    }
    wake_.notify_one();
}

RecordingResult VideoRecorder::Stop()
{
    std::scoped_lock guard(startStop_);
    if (!writer_.joinable())
        return result_;
    {
        std::scoped_lock lock(queueLock_);
        accepting_ = false;
        stopRequested_ = true;
        stopAt_ = Now();
    }
    wake_.notify_one();
    writer_.join();
    return result_;
}

std::chrono::steady_clock::duration VideoRecorder::elapsed() const
{
    if (!recording_.load())
        return Clock::duration(lastLength_.load());
    return Now() - Clock::time_point(Clock::duration(startedAt_.load()));
}

void VideoRecorder::WriterLoop()
{
    QString failure;
    bool failed = false;
    for (;;) {
        Offered offered;
        {
            std::unique_lock lock(queueLock_);
            wake_.wait(lock, [this] { return !queue_.empty() || stopRequested_; });
            if (queue_.empty())
                break; // stopped and drained
            offered = std::move(queue_.front());
            queue_.pop_front();
        }
        if (!Place(offered, failure)) {
            failed = true;
            break;
        }
    }
    if (!failed) {
        Clock::time_point stopAt;
        {
            std::scoped_lock lock(queueLock_);
            stopAt = stopAt_;
        }
        // The last picture stays on screen until the moment recording stopped.
        if (haveFirst_ && stopAt > firstAt_) {
            const double end = std::chrono::duration<double>(stopAt - firstAt_).count() * fps_;
            const auto until = static_cast<std::uint64_t>(std::llround(end));
            while (!failed && written_ < until)
                failed = !WriteOne(last_, failure);
        }
        if (!failed && written_ == 0) {
            failed = true;
            failure = Text("录像保存失败：没有录到画面");
        }
    }
    result_ = Finish(failed, failure);
    {
        std::scoped_lock lock(queueLock_);
        accepting_ = false;
        queue_.clear();
    }
    lastLength_.store((Now() - Clock::time_point(Clock::duration(startedAt_.load()))).count());
    recording_.store(false);
    if (onEnded_)
        onEnded_(result_);
}

bool VideoRecorder::Place(const Offered& offered, QString& failure)
{
    if (!haveFirst_) {
        haveFirst_ = true;
        firstAt_ = offered.captured;
    }
    const double position = std::chrono::duration<double>(offered.captured - firstAt_).count() * fps_;
    if (position < -0.5)
        return true; // from before the recording's first picture
    const auto slot = static_cast<std::uint64_t>(std::max(0LL, std::llround(position)));
    if (slot < written_)
        return true; // early: its place in time is already filled
    const cv::Mat picture = AsRecorded(offered.picture, frameSize_);
    if (picture.empty())
        return true;
    // Late: the picture before it stays on screen for the missing time.
    while (written_ < slot && !last_.empty()) {
        if (!WriteOne(last_, failure))
            return false;
    }
    if (!WriteOne(picture, failure))
        return false;
    last_ = picture;
    return true;
}

bool VideoRecorder::WriteOne(const cv::Mat& picture, QString& failure)
{
    // About once a second; a full disk otherwise shows only when the file is closed.
    const auto everySecond = static_cast<std::uint64_t>(std::max(1.0, fps_));
    if (written_ % everySecond == 0 && DiskNearlyFull(folder_)) {
        failure = Reason("磁盘空间不足（%1）", folder_);
        return false;
    }
    if (!sink_->Write(picture)) {
        failure = Reason("写入录像时出错，磁盘可能已满（%1）", folder_);
        return false;
    }
    ++written_;
    return true;
}

RecordingResult VideoRecorder::Finish(bool failed, QString failure)
{
    RecordingResult result;
    result.framesWritten = written_;
    result.framesDropped = dropped_.load();
    const bool closed = sink_->Close();
    sink_.reset();
    last_.release();
    lock_.reset();
    const QString heldNow = heldDir_->CurrentPath();
    heldDir_.reset();
    const QString fileName = baseName_ + QStringLiteral(".mp4");
    auto moveInto = [this](const QString& from) {
        return RenameToFreeName(folder_, baseName_, QStringLiteral(".mp4"),
                                [&from](const QString& to) { return QFile::rename(from, to); });
    };

    if (QFileInfo::exists(tempPath_)) {
        if (!failed && !closed) {
            failed = true;
            failure = Reason("写入录像时出错，磁盘可能已满（%1）", folder_);
        }
        if (!failed) {
            result.path = moveInto(tempPath_);
            if (result.path.isEmpty()) {
                failed = true;
                failure = Reason("无法在照片文件夹中写入文件（%1）", folder_);
            }
        }
        tempDir_.reset(); // removes the hidden folder with whatever is left in it
    } else {
        // The photo folder (or the hidden folder in it) was moved or deleted while recording:
        // the writer finished the file wherever the folder went, and the sink could not check it.
        tempDir_->setAutoRemove(false); // nothing of ours is left at its old path
        tempDir_.reset();
        const QString finished = heldNow.isEmpty() ? QString() : QDir(heldNow).filePath(fileName);
        const bool playable = !finished.isEmpty() && !failed && IsPlayableVideo(finished);
        if (finished.isEmpty() || !QFileInfo::exists(finished)) {
            failed = true;
            failure = Reason("照片文件夹在录像时被删除了（%1）", folder_);
        } else if (!playable) {
            if (!failed)
                failure = Reason("写入录像时出错，磁盘可能已满（%1）", folder_);
            failed = true;
            QDir(heldNow).removeRecursively();
        } else {
            if (QFileInfo(folder_).isDir())
                result.path = moveInto(finished);
            if (!result.path.isEmpty()) {
                QDir(heldNow).removeRecursively();
            } else {
                // Kept where it is: better a video in a hidden folder than none.
                QFile::remove(QDir(heldNow).filePath(QLatin1String(kRecordingLockName)));
                failed = true;
                failure = Text("照片文件夹在录像时被移走了，录像保存在：%1").arg(QDir::toNativeSeparators(finished));
            }
        }
    }
    result.saved = !failed;
    if (failed)
        result.message = failure;
    return result;
}
