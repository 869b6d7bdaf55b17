#pragma once

#include "TFolderSwap.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

// A scratch folder beside a target folder, receiving the files of a restore
// so that the target keeps its files until the restore is complete; Commit
// then swaps them in (TFolderSwap), in steps that a crash at any moment
// leaves for Recover to finish or undo. The scratch folder sits beside the
// target's real location (through links), so that files only ever move
// within one file system; it is named after the target, one per target. The
// target's subfolders are never touched.
class TRestoreFolder {
public:
    // What Recover found and did.
    enum class TRecovery {
        Nothing,    // no swap was under way (a scratch folder without a swap goes)
        Finished,   // an interrupted swap was finished: the target holds the new files
        RolledBack, // it could not be finished and was undone: the old files
        Failed,     // it could be neither: the target's files are in ScratchFolder
        InUse,      // another process holds the target (DataFolderLock): nothing touched
    };

    explicit TRestoreFolder(const QString& targetFolder);
    ~TRestoreFolder();
    TRestoreFolder(const TRestoreFolder&) = delete;
    TRestoreFolder& operator=(const TRestoreFolder&) = delete;

    // The scratch folder of a target folder: ".NAME-restore" beside its real
    // location.
    static QString ScratchFolder(const QString& targetFolder);
    // Finishes, or else undoes, a swap into the target folder that was
    // interrupted, before anything uses the folder; only under the folder's
    // lock, so never a swap that another process is still making.
    static TRecovery Recover(const QString& targetFolder);

    // Makes the scratch folder, after recovering what an earlier restore
    // left there.
    bool Create();
    // Where the restored files are written.
    QString RestoredFolder() const;
    QString FilePath(const QString& name) const;
    // Checks every restored file against its size, then swaps them in for
    // the target's files: Done; InputOutputError when the target holds what
    // it held before; RollBackFailed when a failed swap could not be undone
    // (the target's files then stay in the scratch folder for Recover).
    int Commit(const QStringList& names, const std::vector<std::int64_t>& sizes);

private:
    QString target_;
    QString scratch_;
    std::unique_ptr<TFolderSwap> swap_;
    bool created_ = false;
    // True while the scratch folder holds a journal, which keeps it.
    bool keep_ = false;
};
