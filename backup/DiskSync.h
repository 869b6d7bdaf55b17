#pragma once

#include <QString>

// Making what was written survive a power cut: the data of a file, and the
// entries of a folder (names made, renamed or removed in it).
namespace DiskSync {

// Writes the file's data to the disk; false when it cannot be opened or
// synced.
bool SyncFile(const QString& path);
bool SyncHandle(int handle);
// Writes the folder's entries to the disk.
bool SyncFolder(const QString& path);

// Renames within one file system, never replacing an entry of the new name
// and never copying.
bool MoveFile(const QString& from, const QString& to);

} // namespace DiskSync
