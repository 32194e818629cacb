#include "pipeline/record/PhotoCapture.h"

#include "pipeline/stages/BackgroundThread.h"

#include "pipeline/record/MediaFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

namespace {

QString Text(const char* source)
{
    return QCoreApplication::translate("PhotoCapture", source);
}

PhotoResult Failure(const char* reason, const QString& where)
{
    PhotoResult result;
    result.message = Text("照片保存失败：") + Text(reason).arg(QDir::toNativeSeparators(where));
    return result;
}
} // namespace

PhotoResult SavePhoto(const QImage& picture, const QString& folder, std::time_t when, bool createFolder,
                      const QString& nameSuffix)
{
    if (createFolder && !folder.isEmpty() && !QFileInfo(folder).exists())
        QDir().mkpath(folder); // a failure shows below as a missing folder
    const QFileInfo folderInfo(folder);
    if (!folderInfo.isDir()) {
        return Failure(folderInfo.exists() ? "照片文件夹的位置上是一个文件，不是文件夹（%1）" : "照片文件夹不存在（%1）",
                       folder);
    }

    const QDir dir(folder);
    // Hidden and not "*.jpg", so the photo strip never lists a photo still being written.
    QTemporaryFile temp(dir.filePath(QStringLiteral(".photo-XXXXXX.part")));
    if (!temp.open())
        return Failure("无法在照片文件夹中写入文件（%1）", folder);
    if (!picture.save(&temp, "JPG") || !temp.flush() || temp.error() != QFileDevice::NoError)
        return Failure("写入照片时出错，磁盘可能已满（%1）", folder); // the temporary file goes away
    // Temporary files are private to their owner; a photo is an ordinary file.
    temp.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                        | QFileDevice::ReadOther);

    const QString path = RenameToFreeName(folder, PhotoBaseName(when) + nameSuffix, QStringLiteral(".jpg"),
                                          [&temp](const QString& to) { return temp.rename(to); });
    if (path.isEmpty())
        return Failure("无法在照片文件夹中写入文件（%1）", folder);
    temp.setAutoRemove(false);
    PhotoResult result;
    result.saved = true;
    result.path = path;
    return result;
}

PhotoCapture::PhotoCapture(QString photoDir, Notify onSaved, Clock clock)
    : photoDir_(std::move(photoDir))
    , onSaved_(std::move(onSaved))
    , clock_(clock ? std::move(clock) : Clock([] { return std::time(nullptr); }))
{
}

PhotoCapture::~PhotoCapture()
{
    {
        std::scoped_lock lock(queueLock_);
        closing_ = true;
    }
    queueChanged_.notify_all();
    if (writer_.joinable())
        writer_.join();
}

void PhotoCapture::SetPhotoDir(const QString& photoDir)
{
    std::scoped_lock lock(dirLock_);
    photoDir_ = photoDir;
}

void PhotoCapture::SetCreatableDir(const QString& folder)
{
    std::scoped_lock lock(dirLock_);
    creatableDir_ = folder;
}

QString PhotoCapture::PreparePhotoDir() const
{
    const Destination to = destination();
    if (to.create && !to.folder.isEmpty())
        QDir().mkpath(to.folder);
    return to.folder;
}

QString PhotoCapture::photoDir() const
{
    std::scoped_lock lock(dirLock_);
    return photoDir_;
}

void PhotoCapture::Request()
{
    // The time first, so the worker never sees a request with an older time.
    requestedAt_.store(std::chrono::steady_clock::now().time_since_epoch().count());
    photoRequest_.store(true);
}

bool PhotoCapture::ExpireRequest(std::chrono::steady_clock::duration maxAge)
{
    if (!photoRequest_.load())
        return false;
    const std::chrono::steady_clock::time_point at { std::chrono::steady_clock::duration(requestedAt_.load()) };
    if (std::chrono::steady_clock::now() - at < maxAge || !photoRequest_.exchange(false))
        return false;
    if (onSaved_)
        onSaved_({ false, {}, Text("摄像头没有送来画面，照片未拍摄") });
    return true;
}

bool PhotoCapture::SavePhotoIfRequested(const QImage& picture)
{
    if (!photoRequest_.exchange(false))
        return false;
    const Destination to = destination();
    Write(picture, to.folder, to.create, clock_());
    return true;
}

PhotoCapture::Destination PhotoCapture::destination() const
{
    std::scoped_lock lock(dirLock_);
    // Only the installed program's own default folder may be made by a photo.
    const bool create = !creatableDir_.isEmpty() && QDir::cleanPath(creatableDir_) == QDir::cleanPath(photoDir_);
    return { photoDir_, create };
}

void PhotoCapture::Write(const QImage& picture, const QString& folder, bool create, std::time_t when,
                         const QString& nameSuffix)
{
    PhotoResult result = SavePhoto(picture, folder, when, create, nameSuffix);
    // A folder the user chose that has gone: the photo is kept in the default folder rather than
    // lost, and the user is told where.
    QString fallback;
    {
        std::scoped_lock lock(dirLock_);
        fallback = creatableDir_;
    }
    if (!result.saved && !create && !fallback.isEmpty() && !QFileInfo::exists(folder)) {
        PhotoResult kept = SavePhoto(picture, fallback, when, true, nameSuffix);
        if (kept.saved) {
            kept.missingFolder = folder;
            result = kept;
        }
    }
    if (onSaved_)
        onSaved_(result);
}

bool PhotoCapture::QueuePhotoIfRequested(const QImage& picture)
{
    if (!photoRequest_.exchange(false))
        return false;
    QueuePhoto(picture);
    return true;
}

void PhotoCapture::QueuePhoto(const QImage& picture, const QString& nameSuffix)
{
    {
        std::scoped_lock lock(queueLock_);
        // The picture is shared, not copied: the loop composes its next frame into a new image.
        const Destination to = destination();
        queue_.push_back({ picture, clock_(), to.folder, to.create, nameSuffix });
        if (!writer_.joinable())
            writer_ = std::thread(&PhotoCapture::WriteQueued, this);
    }
    queueChanged_.notify_all();
}

void PhotoCapture::WriteQueued()
{
    // A photo written a little later costs nothing; a picture shown late does.
    YieldCoresToThePicture();
    std::unique_lock lock(queueLock_);
    for (;;) {
        queueChanged_.wait(lock, [this] { return !queue_.empty() || closing_; });
        if (queue_.empty())
            return;
        Queued next = std::move(queue_.front());
        queue_.pop_front();
        writing_ = true;
        lock.unlock();
        Write(next.picture, next.folder, next.create, next.when, next.nameSuffix);
        lock.lock();
        writing_ = false;
        queueChanged_.notify_all();
    }
}

void PhotoCapture::FinishQueuedPhotos()
{
    std::unique_lock lock(queueLock_);
    queueChanged_.wait(lock, [this] { return queue_.empty() && !writing_; });
}
