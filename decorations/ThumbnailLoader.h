#pragma once

#include "decorations/PhotoThumbnail.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Decodes thumbnails on a worker thread of its own, in the order last asked for, and hands each
// result to the interface thread. Lives on the interface thread; every call comes from there.
class ThumbnailLoader : public QObject {
    Q_OBJECT
public:
    // Called on the interface thread for each finished thumbnail; nothing when the file could
    // not be decoded.
    using ReadyHandler =
        std::function<void(const QString& path, float height, std::optional<PhotoThumbnail>)>;

    explicit ThumbnailLoader(ReadyHandler onReady, QObject* parent = nullptr);
    ~ThumbnailLoader() override;
    ThumbnailLoader(const ThumbnailLoader&) = delete;
    ThumbnailLoader& operator=(const ThumbnailLoader&) = delete;

    // Replaces every request not yet started by these, decoded first to last. A path being
    // decoded or waiting to be handed over is not asked again.
    void Want(const std::vector<QString>& paths, float height);
    // Drops every request; what is being decoded now is thrown away when it ends.
    void Cancel();
    // Requests outstanding or results not yet handed over.
    bool busy() const;
    // Waits until the worker has nothing left and hands over what it made (tests, shutdown).
    void WaitUntilIdle();
    // Results handed over so far (counting failures), for measurements.
    uint64_t delivered() const { return delivered_; }

private:
    struct Job {
        QString path;
        float height;
        uint64_t epoch;
    };
    struct Result {
        Job job;
        std::optional<PhotoThumbnail> thumbnail;
    };
    void Run();
    void HandOver();
    bool PendingLocked(const QString& path, float height) const;

    ReadyHandler onReady_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<Job> queue_;
    std::optional<Job> current_;
    std::vector<Result> done_;
    bool handOverPosted_ = false;
    bool stop_ = false;
    uint64_t epoch_ = 0; // raised by Cancel: older results are stale
    uint64_t delivered_ = 0;
    std::thread worker_;
};
