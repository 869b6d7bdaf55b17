#pragma once

#include <QByteArray>

#include <string>

// File helpers the velmora-tool commands share.

// Writes the bytes whole or not at all; false when the file cannot be
// written.
bool WriteBytes(const std::string& fileName, const QByteArray& bytes);

// Whether both names reach one file: the same path, another path to it or a
// link (symbolic or hard) to it; also for a file that does not exist yet.
bool SameFile(const std::string& a, const std::string& b);
