#include "decorations/ThumbnailLoader.h"

#include <algorithm>

ThumbnailLoader::ThumbnailLoader(ReadyHandler onReady, QObject* parent)
    : QObject(parent), onReady_(std::move(onReady))
{
}

ThumbnailLoader::~ThumbnailLoader()
{
    {
        std::scoped_lock lock(mutex_);
        stop_ = true;
        queue_.clear();
    }
    wake_.notify_all();
    if (worker_.joinable())
        worker_.join();
    // A hand-over still posted goes with this object.
}

bool ThumbnailLoader::PendingLocked(const QString& path, float height) const
{
    if (current_ && current_->epoch == epoch_ && current_->path == path && current_->height == height)
        return true;
    return std::any_of(done_.begin(), done_.end(), [&](const Result& r) {
        return r.job.epoch == epoch_ && r.job.path == path && r.job.height == height;
    });
}

void ThumbnailLoader::Want(const std::vector<QString>& paths, float height)
{
    {
        std::scoped_lock lock(mutex_);
        queue_.clear();
        for (const QString& path : paths)
            if (!PendingLocked(path, height))
                queue_.push_back({path, height, epoch_});
        if (queue_.empty())
            return;
        if (!worker_.joinable())
            worker_ = std::thread([this] { Run(); });
    }
    wake_.notify_one();
}

void ThumbnailLoader::Cancel()
{
    std::scoped_lock lock(mutex_);
    queue_.clear();
    ++epoch_;
    done_.clear();
}

bool ThumbnailLoader::busy() const
{
    std::scoped_lock lock(mutex_);
    return !queue_.empty() || current_.has_value() || !done_.empty();
}

void ThumbnailLoader::WaitUntilIdle()
{
    {
        std::unique_lock lock(mutex_);
        idle_.wait(lock, [this] { return queue_.empty() && !current_; });
    }
    HandOver();
}

void ThumbnailLoader::Run()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
        if (stop_)
            return;
        current_ = queue_.front();
        queue_.pop_front();
        const Job job = *current_;
        lock.unlock();
        std::optional<PhotoThumbnail> thumbnail = LoadPhotoThumbnail(job.path, job.height);
        lock.lock();
        current_.reset();
        if (job.epoch == epoch_) {
            done_.push_back({job, std::move(thumbnail)});
            // One hand-over at a time carries everything finished until it runs.
            if (!handOverPosted_) {
                handOverPosted_ = true;
                QMetaObject::invokeMethod(this, [this] { HandOver(); }, Qt::QueuedConnection);
            }
        }
        if (queue_.empty())
            idle_.notify_all();
    }
}

void ThumbnailLoader::HandOver()
{
    std::vector<Result> results;
    {
        std::scoped_lock lock(mutex_);
        handOverPosted_ = false;
        results.swap(done_);
        // Cancel empties done_, so whatever is left belongs to the current epoch.
    }
    for (Result& r : results) {
        ++delivered_;
        onReady_(r.job.path, r.job.height, std::move(r.thumbnail));
    }
}
