#pragma once

#include <QByteArray>

#include <optional>

// One field of a CSV record as bytes. No value stands for the database's
// NULL: it is written as nothing at all, while an empty text is written as
// two quotes (""), so that the two read back apart.
using CsvField = std::optional<QByteArray>;
