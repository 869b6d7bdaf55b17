#pragma once

#include "CsvField.h"

#include <QList>

class QIODevice;

// Writes records of fields to a device: fields joined by the separator,
// each record ended by CR LF. A field is quoted when it holds the
// separator, a quote, a line break or leading or trailing blanks, and when
// it is an empty text; quotes inside are doubled. NULL is an empty
// unquoted field. Text goes out as it is given (UTF-8 by convention).
class CsvWriter {
public:
    explicit CsvWriter(QIODevice& device, char separator = ',');

    // False when the device refused the bytes.
    bool WriteRecord(const QList<CsvField>& fields);

    // One field as it is written, without the separator.
    static QByteArray Encode(const CsvField& field, char separator = ',');

private:
    QIODevice& device_;
    char separator_;
};
