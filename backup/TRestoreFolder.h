#pragma once

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>
#include <vector>

// A scratch folder beside a target folder, receiving the files of a restore
// so that the target keeps its files until the restore is known to be
// complete. Commit then swaps the files: the target's files move out, the
// restored ones move in, and if any move fails everything moves back. The
// target's subfolders are never touched. The scratch folder goes when the
// object does.
class TRestoreFolder {
public:
    explicit TRestoreFolder(const QString& targetFolder);
    ~TRestoreFolder();
    TRestoreFolder(const TRestoreFolder&) = delete;
    TRestoreFolder& operator=(const TRestoreFolder&) = delete;

    bool Create();
    // Where the restored files are written.
    QString RestoredFolder() const { return restored_; }
    QString FilePath(const QString& name) const;
    // Checks every restored file against its size, then replaces the
    // target's files with them. False when the target holds what it held
    // before (or, if even moving back failed, when the scratch folder is kept
    // with the target's old files in it).
    bool Commit(const QStringList& names, const std::vector<std::int64_t>& sizes);

private:
    QString target_;
    std::unique_ptr<QTemporaryDir> scratch_;
    QString restored_; // the restored files
    QString previous_; // the target's files while they are swapped
};
