#include "decorations/ThumbnailCache.h"

std::vector<QString> ThumbnailCache::Insert(const QString& path, PhotoThumbnail thumbnail)
{
    Remove(path);
    Entry entry;
    entry.bytes = static_cast<size_t>(thumbnail.bitmap.sizeInBytes());
    entry.thumbnail = std::move(thumbnail);
    entry.at = order_.insert(order_.end(), path);
    bytes_ += entry.bytes;
    entries_.insert(path, std::move(entry));
    return EvictBeyondCapacity(&path);
}

const PhotoThumbnail* ThumbnailCache::Find(const QString& path) const
{
    auto it = entries_.constFind(path);
    return it == entries_.constEnd() ? nullptr : &it->thumbnail;
}

void ThumbnailCache::Touch(const QString& path)
{
    auto it = entries_.find(path);
    if (it != entries_.end())
        order_.splice(order_.end(), order_, it->at);
}

void ThumbnailCache::Remove(const QString& path)
{
    auto it = entries_.find(path);
    if (it == entries_.end())
        return;
    bytes_ -= it->bytes;
    order_.erase(it->at);
    entries_.erase(it);
}

void ThumbnailCache::Clear()
{
    entries_.clear();
    order_.clear();
    bytes_ = 0;
}

std::vector<QString> ThumbnailCache::SetCapacity(size_t capacityBytes)
{
    capacity_ = capacityBytes;
    return EvictBeyondCapacity(nullptr);
}

std::vector<QString> ThumbnailCache::Order() const
{
    return {order_.begin(), order_.end()};
}

std::vector<QString> ThumbnailCache::EvictBeyondCapacity(const QString* keep)
{
    std::vector<QString> evicted;
    auto it = order_.begin();
    while (bytes_ > capacity_ && it != order_.end()) {
        if (keep && *it == *keep) {
            ++it;
            continue;
        }
        const QString path = *it++;
        evicted.push_back(path);
        Remove(path);
    }
    return evicted;
}
