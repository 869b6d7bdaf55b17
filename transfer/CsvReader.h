#pragma once

#include "CsvField.h"

#include <QList>
#include <QString>

// One record as read: the line of the file it starts on (from 1) and its
// fields. An empty unquoted field reads as NULL, a quoted one ("") as an
// empty text.
struct CsvRecord {
    int line = 0;
    QList<CsvField> fields;
};

// Splits CSV bytes into records of fields with a given separator. Records
// end at CR LF, LF or a lone CR outside quotes; a quoted field may hold the
// separator, line breaks and doubled quotes. Blank lines are passed over, a
// leading UTF-8 byte order mark is dropped. A quote inside an unquoted field
// and text after a closing quote are kept as they stand; a quote left open
// at the end of the bytes is an error.
class CsvReader {
public:
    // How a field that needs no unquoting is taken: copied, or as a view
    // of the bytes given, which must then outlive every field read and
    // every copy made of one.
    enum class Fields { Copied, ViewsOfTheBytes };

    explicit CsvReader(QByteArray bytes, char separator = ',', Fields fields = Fields::Copied);

    // The next record into `record`; false at the end or on an error.
    bool Next(CsvRecord& record);

    // Empty unless reading stopped on an error.
    const QString& Error() const { return error_; }

    // All records of the bytes; on an error `error` names it and the
    // records read before it are returned. Large bytes are read in two
    // halves at the same time.
    static QList<CsvRecord> ReadAll(const QByteArray& bytes, char separator, QString* error,
                                    Fields fields = Fields::Copied);

private:
    // Appends the records that start before stopAt.
    void AppendRecords(QList<CsvRecord>& records, qsizetype stopAt);
    // Moves past a line break at the position, counting the line.
    bool SkipLineBreak();
    // The field of `length` bytes at `from`, as the reader takes fields.
    QByteArray Field(qsizetype from, qsizetype length) const;

    QByteArray bytes_;
    char separator_;
    Fields fields_;
    qsizetype position_ = 0;
    int line_ = 1;
    QString error_;
};
