// Restores arbitrary bytes as an archive over a populated data folder.
// Nothing may crash, a result is always one of the codes, nothing is left
// beside the data folder, and whenever the restore fails the folder is
// exactly as it was.

#include "Archive.h"

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

Snapshot Take(const QString& folder) {
    Snapshot snapshot;
    QDirIterator entries(folder,
                         QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                         QDirIterator::Subdirectories);
    while (entries.hasNext()) {
        const QString path = entries.next();
        QFile file(path);
        snapshot[path] = entries.fileInfo().isDir()
                             ? QByteArray("/")
                             : (file.open(QIODevice::ReadOnly) ? file.readAll() : "?");
    }
    return snapshot;
}

class Place {
public:
    Place()
        : archive_(root_.filePath(QStringLiteral("in.tba"))),
          target_(root_.filePath(QStringLiteral("ldb"))) {
        Populate();
        populated_ = Take(target_);
    }

    void Check(const QByteArray& input) {
        WriteFile(archive_, input);
        const int result = UnpackArchive(archive_, target_);
        if ((result < ArchiveResult::Done || result > ArchiveResult::InputOutputError) &&
            result != ArchiveResult::NoCatalog)
            Fail("a result that is no code");
        const QStringList beside =
            QDir(root_.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
        if (beside != QStringList{QStringLiteral("in.tba"), QStringLiteral("ldb")})
            Fail("something left beside the data folder");
        if (result == ArchiveResult::Done)
            Populate();
        else if (Take(target_) != populated_)
            Fail("a failed restore changed the data folder");
    }

private:
    void Populate() {
        QDir(target_).removeRecursively();
        QDir().mkpath(target_ + QStringLiteral("/sub"));
        WriteFile(target_ + QStringLiteral("/catalog.db"), "the current database");
        WriteFile(target_ + QStringLiteral("/sub/keep.jpg"), "kept");
    }

    [[noreturn]] static void Fail(const char* what) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }

    QTemporaryDir root_;
    QString archive_;
    QString target_;
    Snapshot populated_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Place place;
    place.Check(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    return 0;
}
