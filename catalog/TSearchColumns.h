#pragma once

#include <QByteArray>
#include <QLocale>
#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

class TQuery;

// The columns a list search looks at, and the text it looks for: the
// query's current record matches when one of the columns, as text
// upper-cased by the locale's rules, contains the text.
//
// The list reads blob columns (descriptions) from the table one record at
// a time. A search that goes on past the first few hundred records reads
// them for every record at once instead (TQuery::ReadBlobColumns), and
// keeps the keys of the records whose blob columns hold the text: the table
// holds what the query shows, since every change is written at once.
class TSearchColumns {
public:
    // Records looked at one by one before the blob columns are read at once.
    static constexpr int SingleReads = 256;

    // text: upper-cased. Raises EDatabaseError for a column the query does
    // not have.
    TSearchColumns(TQuery& query, const QStringList& columns, const QString& text);

    bool CurrentMatches();

private:
    bool Contains(const QString& value) const;
    bool Contains(const QByteArray& utf8) const;
    // Whether the blob columns of every record have been read at once; reads
    // them when enough records were looked at one by one.
    bool BlobsRead();
    // Reads the blob columns of every record and keeps the keys of those
    // that hold the text; false when they cannot be read so (changes wait
    // to be written, or the statement cannot be nested).
    bool ReadBlobs();

    TQuery& query_;
    QString text_;
    QByteArray textUtf8_;
    QLocale locale_;
    // The locale upper-cases some letters its own way.
    bool localeRules_ = false;
    // Letters of ASCII text upper-case the same in every other language.
    bool asciiRules_ = false;
    std::vector<int> fields_;
    // Per column: its place among the blob columns, or -1.
    std::vector<bool> blob_;
    std::vector<int> blobFields_;
    int keyField_ = -1;
    int singleReads_ = 0;
    bool blobsTried_ = false;
    bool blobsRead_ = false;
    QSet<QString> blobMatches_;
};
