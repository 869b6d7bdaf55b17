#pragma once

#include <QString>

#include <memory>

class QFile;

// A file being written under a temporary name beside its own: a hidden
// ".NAME.velmora-part-XXXXXX" that its writer holds locked while it lives.
// Commit puts it on disk and then under its name, replacing an older file
// of that name; destroying it without Commit removes it. The part files of
// writers that ended without either (a crash or a power cut) are removed
// by the next Open in that folder: no living writer holds their lock.
class TPartFile {
public:
    TPartFile();
    ~TPartFile();
    TPartFile(const TPartFile&) = delete;
    TPartFile& operator=(const TPartFile&) = delete;

    bool Open(const QString& fileName);
    // count, or -1 when the write fails.
    qint64 Write(const char* data, qint64 count);
    // Hands what was written to the system, so that the part file can be
    // read back under PartName before Commit.
    bool Flush();
    const QString& PartName() const { return partName_; }
    bool Commit();

    // Whether the name is that of a part file.
    static bool IsPartName(const QString& name);
    // Removes the part files in the folder whose writers are gone; how many.
    static int RemoveAbandoned(const QString& folder);

private:
    void Remove();

    std::unique_ptr<QFile> file_;
    QString partName_;
    QString fileName_;
};
