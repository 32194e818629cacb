#pragma once

#include "decorations/PhotoThumbnail.h"

#include <QHash>
#include <QString>

#include <cstddef>
#include <list>
#include <vector>

// Decoded thumbnails by file path, bounded in bytes of pixels: when a new one does not fit,
// the least recently shown leave first.
class ThumbnailCache {
public:
    static constexpr size_t kDefaultCapacityBytes = size_t{64} << 20;

    explicit ThumbnailCache(size_t capacityBytes = kDefaultCapacityBytes)
        : capacity_(capacityBytes)
    {
    }

    // Stores the thumbnail as the most recently shown and returns the paths that had to leave,
    // oldest first. The new one stays even when it alone exceeds the bound, so what is on
    // screen can always be drawn.
    std::vector<QString> Insert(const QString& path, PhotoThumbnail thumbnail);
    // Nothing when the path is not cached. Does not count as shown.
    const PhotoThumbnail* Find(const QString& path) const;
    // The thumbnail is on screen now: it leaves last.
    void Touch(const QString& path);
    void Remove(const QString& path);
    void Clear();
    // A smaller bound lets the oldest leave at once; returns them, oldest first.
    std::vector<QString> SetCapacity(size_t capacityBytes);

    size_t capacity() const { return capacity_; }
    size_t bytes() const { return bytes_; }
    size_t size() const { return static_cast<size_t>(entries_.size()); }
    // Paths from the least to the most recently shown.
    std::vector<QString> Order() const;

private:
    struct Entry {
        PhotoThumbnail thumbnail;
        size_t bytes = 0;
        std::list<QString>::iterator at; // in order_
    };
    std::vector<QString> EvictBeyondCapacity(const QString* keep);

    size_t capacity_;
    size_t bytes_ = 0;
    std::list<QString> order_; // least recently shown first
    QHash<QString, Entry> entries_;
};
