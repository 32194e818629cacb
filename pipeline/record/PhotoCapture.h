#pragma once

#include "pipeline/record/MediaFiles.h"

#include <QImage>
#include <QString>

#include <atomic>
#include <chrono>
#include <ctime>
#include <functional>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

struct PhotoResult {
    bool saved = false;
    QString path;    // the file written, when saved
    QString message; // what went wrong, for the status bar, when not saved
    // The chosen photo folder that was missing: the photo went to the default folder instead.
    QString missingFolder;
};

// Saves picture as a JPEG (default quality) in folder, named after `when` and then nameSuffix
// (a burst's strip says what it is). A name already taken gets "_02", "_03", … before ".jpg",
// so nothing is overwritten. The file is written under a temporary name in the same folder and
// renamed when complete, so a failed photo leaves nothing behind. A missing folder is created
// only when createFolder is set.
PhotoResult SavePhoto(const QImage& picture, const QString& folder, std::time_t when, bool createFolder = false,
                      const QString& nameSuffix = {});

// The photo request and the save on the next composed picture. Request() may be called from any
// thread (a click, the countdown); the frame loop's presenter thread calls QueuePhotoIfRequested()
// once per composed picture, so several requests before a picture give one photo.

class PhotoCapture {
public:
    using Clock = std::function<std::time_t()>;
    // Called after every attempt: on the photo thread for a queued photo, on the caller of
    // SavePhotoIfRequested, and on the frame loop's worker for an expired request. It must not
    // wait for the interface thread (connect it to a queued signal).
    using Notify = std::function<void(const PhotoResult&)>;

    explicit PhotoCapture(QString photoDir, Notify onSaved = {}, Clock clock = {});
    // Writes the photos still queued first.
    ~PhotoCapture();
    PhotoCapture(const PhotoCapture&) = delete;
    PhotoCapture& operator=(const PhotoCapture&) = delete;

    void Request();
    bool requested() const { return photoRequest_.load(); }
    // Drops a request not yet served (the camera stopped); returns whether one was pending.
    bool Cancel() { return photoRequest_.exchange(false); }
    // Worker thread, on a pass without a new frame: a request older than maxAge is dropped and
    // reported as not taken, so a click never waits for a picture that does not come.
    bool ExpireRequest(std::chrono::steady_clock::duration maxAge);

    // The folder may change (folder settings) while the worker runs.
    void SetPhotoDir(const QString& photoDir);
    QString photoDir() const;
    // The one photo folder that is created when missing (an installed program's default folder
    // in the user's pictures, which nobody made yet); empty: none.
    void SetCreatableDir(const QString& folder);
    // The photo folder for a recording that is about to write into it: made first when it is the
    // folder that may be made.
    QString PreparePhotoDir() const;

    // When a photo was requested, saves picture on the calling thread, clears the request and
    // reports the result through the callback. Returns whether a photo was attempted.
    bool SavePhotoIfRequested(const QImage& picture);
    // The same, except that the file is written and the result reported on the photo thread, so
    // the frame loop does not wait for the encoder. Photos are written in the order of their
    // frames, each named after the moment its frame was composed, into the folder of that moment.
    bool QueuePhotoIfRequested(const QImage& picture);
    // Queues picture as a photo whether or not one was requested (a burst's strip, named with
    // nameSuffix after its time); any thread.
    void QueuePhoto(const QImage& picture, const QString& nameSuffix = {});
    // Waits until every queued photo is written and reported.
    void FinishQueuedPhotos();

private:
    struct Queued {
        QImage picture;
        std::time_t when = 0;
        QString folder;
        bool create = false;
        QString nameSuffix;
    };
    // Where a photo asked for now goes, and whether it may make that folder.
    struct Destination {
        QString folder;
        bool create = false;
    };
    Destination destination() const;
    void WriteQueued();
    void Write(const QImage& picture, const QString& folder, bool create, std::time_t when,
               const QString& nameSuffix = {});

    std::atomic<bool> photoRequest_{false};
    std::atomic<std::chrono::steady_clock::rep> requestedAt_{0}; // steady-clock ticks
    mutable std::mutex dirLock_;
    QString photoDir_;
    QString creatableDir_;
    Notify onSaved_;
    Clock clock_;

    std::mutex queueLock_;
    std::condition_variable queueChanged_;
    std::deque<Queued> queue_;
    bool writing_ = false;
    bool closing_ = false;
    std::thread writer_; // started with the first queued photo
};
