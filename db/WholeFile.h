#pragma once

#include <QByteArray>
#include <QString>

// Writes the bytes to the file whole or not at all: a failed write leaves
// the file as it was and no half file beside it. False when it fails.
bool WriteWholeFile(const QString& fileName, const QByteArray& bytes);
