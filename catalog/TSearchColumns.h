#pragma once

#include <QByteArray>
#include <QByteArrayView>
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
// The list reads its records' columns from the table a few at a time, and
// blob columns (descriptions) one record at a time. A search that goes on
// past the first few hundred records reads the columns for every record at
// once instead (TQuery::ScanColumns), and keeps the keys of the records
// that hold the text: the table holds what the query shows, since every
// change is written at once.
class TSearchColumns {
public:
    // Records looked at one by one before the columns are read at once.
    static constexpr int SingleReads = 256;

    // text: upper-cased. Raises EDatabaseError for a column the query does
    // not have.
    TSearchColumns(TQuery& query, const QStringList& columns, const QString& text);

    bool CurrentMatches();

private:
    bool Contains(const QString& value) const;
    bool Contains(QByteArrayView utf8) const;
    // Whether the columns of every record have been read at once; reads
    // them when enough records were looked at one by one.
    bool Scanned();
    // Reads the columns of every record and keeps the keys of those that
    // hold the text; false when they cannot be read so (changes wait to be
    // written, or the statement cannot be nested).
    bool Scan();

    TQuery& query_;
    QString text_;
    QByteArray textUtf8_;
    QLocale locale_;
    // The locale upper-cases some letters its own way.
    bool localeRules_ = false;
    // Letters of ASCII text upper-case the same in every other language.
    bool asciiRules_ = false;
    std::vector<int> fields_;
    int keyField_ = -1;
    int singleReads_ = 0;
    bool scanTried_ = false;
    bool scanned_ = false;
    QSet<QString> matches_;
};
