#pragma once

#include <QHash>
#include <QImage>
#include <QString>

#include <list>

// The decoded thumbnails of the records shown last, by record key. Holds at
// most Capacity pictures: adding one more drops the one used longest ago. A
// null image stands for a record without a thumbnail.
class TThumbnailCache {
public:
    explicit TThumbnailCache(int capacity = 64);

    // The picture kept for key, now the most recently used; nullptr when
    // none is kept.
    const QImage* Find(const QString& key);
    void Insert(const QString& key, const QImage& picture);
    void Remove(const QString& key);
    void Clear();

    int Size() const { return static_cast<int>(entries_.size()); }
    int Capacity() const { return capacity_; }

private:
    struct Entry {
        QString key;
        QImage picture;
    };

    int capacity_;
    std::list<Entry> entries_; // most recently used first
    QHash<QString, std::list<Entry>::iterator> index_;
};
