// Reads arbitrary bytes as the journal of an interrupted restore, as every
// start and every backup, restore and pack does before it uses the data
// folder. Nothing may crash or reach outside the two folders; a journal
// that is not read whole leaves every file where it was (the start tells
// the user and ends); and a swap that is finished or undone loses no file
// of the data folder's.

#include "TRestoreFolder.h"

#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

using Snapshot = std::map<QString, QByteArray>;

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
}

// Every entry below folder, by path relative to it.
Snapshot Take(const QString& folder) {
    Snapshot snapshot;
    const QDir base(folder);
    QDirIterator entries(folder,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        QFile file(path);
        snapshot[base.relativeFilePath(path)] =
            entries.fileInfo().isDir() ? QByteArray("/")
                                       : (file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
    }
    return snapshot;
}

[[noreturn]] void Fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

// <root>/ldb/data, with its files, and the scratch folder of a restore into
// it that stopped in the middle of its swap: some old files moved out to
// "previous", some new ones still in "restored".
class Place {
public:
    Place()
        : folder_(root_.filePath(QStringLiteral("ldb"))),
          target_(folder_ + QStringLiteral("/data")),
          scratch_(TRestoreFolder::ScratchFolder(target_)) {}

    void Check(const QByteArray& journal) {
        Populate();
        WriteFile(scratch_ + QStringLiteral("/swap"), journal);
        const Snapshot before = Take(folder_);
        const TRestoreFolder::TRecovery recovery = TRestoreFolder::Recover(target_);
        const Snapshot after = Take(folder_);
        if (QDir(root_.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot) !=
            QStringList{"ldb"})
            Fail("an entry beside the folders");
        switch (recovery) {
        case TRestoreFolder::TRecovery::Failed:
            if (after != before)
                Fail("a journal that was not read changed a file");
            break;
        case TRestoreFolder::TRecovery::Finished:
        case TRestoreFolder::TRecovery::RolledBack:
            if (after.count(QStringLiteral(".data-restore")) != 0)
                Fail("a finished swap left its scratch folder");
            if (const auto kept = after.find(QStringLiteral("data/sub/keep"));
                kept == after.end() || kept->second != "kept")
                Fail("a subfolder of the data folder changed");
            break;
        case TRestoreFolder::TRecovery::Nothing:
        case TRestoreFolder::TRecovery::InUse:
            Fail("a journal that was not looked at");
        }
    }

private:
    void Populate() {
        QDir(folder_).removeRecursively();
        QDir().mkpath(target_ + QStringLiteral("/sub"));
        QDir().mkpath(scratch_ + QStringLiteral("/restored"));
        QDir().mkpath(scratch_ + QStringLiteral("/previous"));
        WriteFile(target_ + QStringLiteral("/velmora.db"), "current catalog");
        WriteFile(target_ + QStringLiteral("/a b%.txt"), "current notes");
        WriteFile(target_ + QStringLiteral("/sub/keep"), "kept");
        WriteFile(scratch_ + QStringLiteral("/previous/old.jpg"), "moved out");
        WriteFile(scratch_ + QStringLiteral("/restored/velmora.db"), "restored catalog");
        WriteFile(scratch_ + QStringLiteral("/restored/added.txt"), "restored notes");
    }

    // In memory where the system offers it: a swap puts every move on disk.
    QTemporaryDir root_{QDir(QStringLiteral("/dev/shm")).exists()
                            ? QStringLiteral("/dev/shm/velmora-fuzz-XXXXXX")
                            : QDir::tempPath() + QStringLiteral("/velmora-fuzz-XXXXXX")};
    QString folder_;
    QString target_;
    QString scratch_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Place place;
    place.Check(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
