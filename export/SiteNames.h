#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

// File names of a published catalog's pages and pictures: the record's
// name in plain ASCII (FileNameFromName, with runs of "-" made one and none
// at either end, at most MaxNameLength characters) and "-" and the first
// characters of a hash of the record's key. A name depends only on the
// record's own name and key, so renaming one record leaves every other
// record's file where it was. Two records whose names would be the same get
// longer pieces of their hashes.
class SiteNames {
public:
    static constexpr int MaxNameLength = 48;
    static constexpr int ShortPiece = 6;

    // The readable part made from a name; fallback for a name without
    // letters or digits.
    static QString Readable(const QString& name, const QString& fallback);
    // The first length hexadecimal digits of the key's hash.
    static QString KeyPiece(const QString& key, int length = ShortPiece);

    explicit SiteNames(QString fallback) : fallback_(std::move(fallback)) {}

    // Adds a record; call before asking for names.
    void Add(const QString& key, const QString& name);
    // The file stem of a record added (no folder, no extension).
    QString Stem(const QString& key);

private:
    void Settle();

    QString fallback_;
    QStringList keys_;
    QHash<QString, QString> readable_;
    QHash<QString, QString> stems_;
    bool settled_ = false;
};
