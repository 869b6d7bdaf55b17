#include "SiteNames.h"

#include "FileNameFromName.h"

#include <QCryptographicHash>

QString SiteNames::Readable(const QString& name, const QString& fallback) {
    QString text;
    for (const QChar c : FileNameFromName(name)) {
        if (c == QLatin1Char('-') && (text.isEmpty() || text.endsWith(QLatin1Char('-'))))
            continue;
        text += c;
    }
    text.truncate(MaxNameLength);
    while (text.endsWith(QLatin1Char('-')))
        text.chop(1);
    return text.isEmpty() ? fallback : text;
}

QString SiteNames::KeyPiece(const QString& key, int length) {
    return QString::fromLatin1(
        QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(length));
}

void SiteNames::Add(const QString& key, const QString& name) {
    if (!readable_.contains(key))
        keys_ << key;
    readable_.insert(key, Readable(name, fallback_));
    settled_ = false;
}

void SiteNames::Settle() {
    // Each record takes the shortest piece no other record shares with it.
    stems_.clear();
    QStringList left = keys_;
    for (int length : {ShortPiece, 12, 40}) {
        QHash<QString, int> count;
        for (const QString& key : left)
            ++count[readable_[key] + QLatin1Char('-') + KeyPiece(key, length)];
        QStringList clashing;
        for (const QString& key : left) {
            const QString stem = readable_[key] + QLatin1Char('-') + KeyPiece(key, length);
            if (count[stem] == 1 || length == 40)
                stems_.insert(key, stem);
            else
                clashing << key;
        }
        left = clashing;
    }
    settled_ = true;
}

QString SiteNames::Stem(const QString& key) {
    if (!settled_)
        Settle();
    return stems_.value(key);
}
