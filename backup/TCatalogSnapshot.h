#pragma once

#include <QString>

#include <memory>

class EngineConnection;

// Holds the catalog database of a data folder still while a backup copies
// it. The catalog is opened read-write, so that a journal a writer left
// behind (a crash, a power cut) is rolled back first, and one read
// transaction is held until the snapshot goes, so that no other program
// commits to it meanwhile. The file to copy is then whole and holds exactly
// one committed state: no journal file of the catalog is needed beside it.
// A catalog kept in write-ahead-log mode is copied through the engine into
// a scratch file instead, since its committed state is not in its file
// alone.
class TCatalogSnapshot {
public:
    TCatalogSnapshot();
    ~TCatalogSnapshot();
    TCatalogSnapshot(const TCatalogSnapshot&) = delete;
    TCatalogSnapshot& operator=(const TCatalogSnapshot&) = delete;

    // Takes the snapshot of catalogFile, writing a scratch copy (when one
    // is needed) into scratchFolder. False, with the reason in fault (lower
    // case, no full stop), when the catalog cannot be opened or read.
    bool Take(const QString& catalogFile, const QString& scratchFolder, QString& fault);
    // The file holding the snapshot's bytes, once taken.
    const QString& File() const { return file_; }

    // Whether a file of the data folder is one of the catalog's journals,
    // which the snapshot makes needless.
    static bool IsJournal(const QString& name);

private:
    bool CopyThroughEngine(const QString& scratchFolder, QString& fault);

    // Closing it ends the read transaction, if one is open.
    std::unique_ptr<EngineConnection> db_;
    QString file_;
};
