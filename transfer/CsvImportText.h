#pragma once

#include <QByteArray>
#include <QString>

// How the bytes of a spreadsheet's CSV file are read as text: the encoding
// and the separator are guessed from the bytes themselves.
class CsvImportText {
public:
    enum class Encoding { Utf8, Utf8Bom, Windows1252, Windows1251 };

    // UTF-8 when the bytes start with its byte order mark (Utf8Bom) or are
    // valid UTF-8 throughout (Utf8). Otherwise a one-byte Windows code page:
    // Windows-1251 when at least half of the bytes 0xC0..0xFF follow another
    // byte of that range (Cyrillic words are runs of such letters), else
    // Windows-1252 (accented Latin letters mostly stand alone between ASCII
    // letters).
    static Encoding GuessEncoding(const QByteArray& bytes);
    // The encoding's name for the user ("UTF-8", "Windows-1251", ...).
    static QString EncodingName(Encoding encoding);
    // The bytes as UTF-8, without a byte order mark.
    static QByteArray ToUtf8(const QByteArray& bytes, Encoding encoding);

    // Comma, semicolon or tab: the candidate found outside quoted fields
    // the same number of times on each of the first lines (at most 20),
    // most often on the first; comma when none is found.
    static char GuessSeparator(const QByteArray& utf8);
};
