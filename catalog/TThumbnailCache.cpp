#include "TThumbnailCache.h"

#include <algorithm>

TThumbnailCache::TThumbnailCache(int capacity) : capacity_(std::max(1, capacity)) {}

const QImage* TThumbnailCache::Find(const QString& key) {
    const auto found = index_.constFind(key);
    if (found == index_.constEnd())
        return nullptr;
    entries_.splice(entries_.begin(), entries_, found.value());
    return &entries_.front().picture;
}

void TThumbnailCache::Insert(const QString& key, const QImage& picture) {
    Remove(key);
    entries_.push_front({key, picture});
    index_.insert(key, entries_.begin());
    while (Size() > capacity_) {
        index_.remove(entries_.back().key);
        entries_.pop_back();
    }
}

void TThumbnailCache::Remove(const QString& key) {
    const auto found = index_.find(key);
    if (found == index_.end())
        return;
    entries_.erase(found.value());
    index_.erase(found);
}

void TThumbnailCache::Clear() {
    entries_.clear();
    index_.clear();
}
