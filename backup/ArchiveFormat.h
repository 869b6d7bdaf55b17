#pragma once

#include <QByteArray>
#include <QFileInfoList>
#include <QString>

#include <cstdint>

// The fixed parts of the archive layout and the rules both directions share.
namespace ArchiveFormat {

constexpr char Signature[] = "BACKUP";
constexpr int SignatureSize = 6;

// The content of a block before compression: exactly this much, except the
// last block of a file.
constexpr int BlockSize = 524288;

// The longest compressed block a writer of the format produces (zlib's bound
// for BlockSize bytes). A longer length field marks a damaged archive.
std::int64_t MaxBlockLength();

// The files of a folder that go into an archive, and that a restore
// replaces: plain and hidden files (also through a link), not subfolders,
// in name order.
QFileInfoList FolderFiles(const QString& folder);

// The folder without trailing path delimiters ("/" stays as it is).
QString WithoutTrailingDelimiter(const QString& folder);

// True for a name that stands for a file right inside a folder and can be
// written as one line of the names text: not empty, not "." or "..", no
// "/" or "\", no zero byte, CR or LF.
bool IsBareFileName(const QString& name);

// part / whole × 100 to the nearest integer, halves to the even neighbour.
int RoundedPercent(std::int64_t part, std::int64_t whole);

} // namespace ArchiveFormat
