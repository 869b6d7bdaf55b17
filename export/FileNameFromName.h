#pragma once

#include <QString>

// A file name made from a record's name: blanks and control characters
// trimmed from both ends, letters of other scripts and accented ones written
// in plain Latin letters (ICU's "Any-Latin; Latin-ASCII"; an ASCII name is
// left as it is), lower-cased with the system locale's rules, and every
// character that is not a to z or 0 to 9 replaced by "-". So
// "Knight, 1450 (Mounted)" gives "knight--1450--mounted-" and "Гусар" gives
// "gusar". An empty (or blank) name gives an empty text.
QString FileNameFromName(const QString& name);

// FileNameFromName(name), or fallback when that is empty.
QString FileNameFromName(const QString& name, const QString& fallback);
