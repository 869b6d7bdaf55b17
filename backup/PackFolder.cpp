#include "Archive.h"
#include "ArchiveFormat.h"
#include "ByteWriter.h"
#include "CatalogCheck.h"
#include "TArchiveUnpacker.h"
#include "TCatalogSnapshot.h"
#include "TDatabase.h"
#include "TPackStream.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QTemporaryDir>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace {

using namespace ArchiveFormat;

constexpr std::int64_t MaxSize = std::numeric_limits<std::int32_t>::max();

// A file as the archive names it, and the file its bytes are read from.
struct Entry {
    QString name;
    QFileInfo source;
};

// Copies one file into the stream in pieces of one block, reporting each
// piece; Done, Stopped or InputOutputError. The file must still hold exactly
// the size the archive records for it.
int CopyFile(TPackStream& stream, const QFileInfo& source, std::vector<char>& piece,
             std::int64_t& done, std::int64_t total, const TArchiveProgress& progress, bool& stop) {
    QFile file(source.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return ArchiveResult::InputOutputError;
    for (std::int64_t left = source.size(); left > 0;) {
        const std::int64_t count = std::min<std::int64_t>(left, BlockSize);
        if (file.read(piece.data(), count) != count || stream.Write(piece.data(), count) != count)
            return ArchiveResult::InputOutputError;
        left -= count;
        done += count;
        if (progress)
            progress(RoundedPercent(done, total), stop);
        if (stop)
            return ArchiveResult::Stopped;
    }
    char more = 0;
    if (file.read(&more, 1) != 0 || !stream.Flush())
        return ArchiveResult::InputOutputError;
    return ArchiveResult::Done;
}

// Why a restore would refuse the archive written so far, empty when it
// would not: it is unpacked into a scratch folder and checked there.
QString RestoreProblem(const QString& archive, const QString& scratchFolder) {
    TArchiveUnpacker unpacker({});
    if (!QDir().mkdir(scratchFolder) || unpacker.Open(archive) != ArchiveResult::Done ||
        unpacker.UnpackInto(scratchFolder) != ArchiveResult::Done)
        return QStringLiteral("the archive written can not be read back (%1)")
            .arg(unpacker.Fault().isEmpty() ? QStringLiteral("no scratch folder")
                                            : unpacker.Fault());
    return CatalogCheck::Problem(scratchFolder, unpacker.Names());
}

int Pack(const QString& sourceFolder, const QString& archiveFile, const TArchiveProgress& progress,
         QString& fault) {
    const QString folder = WithoutTrailingDelimiter(sourceFolder);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return ArchiveResult::NoSourceFiles;
    if (FolderFiles(folder).isEmpty())
        return ArchiveResult::NoSourceFiles;

    // The catalog goes in as one committed state, held still from here to
    // the end: its journals are not packed, and the archive is checked as a
    // restore checks it before it takes its name.
    const QString catalogName = QString::fromLatin1(TDatabase::FileNameInFolder);
    const QString catalog = folder + QLatin1Char('/') + catalogName;
    const bool hasCatalog = QFileInfo(catalog).isFile();
    std::optional<QTemporaryDir> scratch;
    TCatalogSnapshot snapshot;
    if (hasCatalog) {
        // Not beside the archive: an archive folder holds only archives.
        scratch.emplace(QDir::tempPath() + QStringLiteral("/velmora-backup-XXXXXX"));
        if (!scratch->isValid()) {
            fault = QStringLiteral("no scratch folder can be made in %1").arg(QDir::tempPath());
            return ArchiveResult::InputOutputError;
        }
        if (!snapshot.Take(catalog, scratch->path(), fault))
            return ArchiveResult::InputOutputError;
    }

    // Whatever the layout cannot hold is refused before anything is written.
    QList<Entry> files;
    QByteArray names;
    std::int64_t total = 0;
    for (const QFileInfo& file : FolderFiles(folder)) {
        if (hasCatalog && TCatalogSnapshot::IsJournal(file.fileName()))
            continue;
        const Entry entry{file.fileName(), hasCatalog && file.fileName() == catalogName
                                               ? QFileInfo(snapshot.File())
                                               : file};
        if (!IsBareFileName(entry.name) || entry.source.size() > MaxSize)
            return ArchiveResult::InputOutputError;
        total += entry.source.size();
        names += entry.name.toUtf8() + "\r\n";
        files << entry;
    }
    if (total > MaxSize || names.size() > BlockSize)
        return ArchiveResult::InputOutputError;

    TPackStream stream;
    if (!stream.Create(archiveFile, QIODevice::WriteOnly | QIODevice::Truncate))
        return ArchiveResult::InputOutputError;
    stream.WriteRaw(Signature, SignatureSize);
    stream.Write(names);
    stream.Flush();

    std::vector<char> piece(BlockSize);
    std::int64_t done = 0;
    bool stop = false;
    for (const Entry& file : files) {
        char size[4];
        ByteWriter(size, 4).Int32(static_cast<std::int32_t>(file.source.size()));
        if (!stream.WriteRaw(size, 4))
            return ArchiveResult::InputOutputError;
        const int result = CopyFile(stream, file.source, piece, done, total, progress, stop);
        if (result != ArchiveResult::Done)
            return result;
    }
    if (hasCatalog) {
        if (!stream.Finish())
            return ArchiveResult::InputOutputError;
        fault = RestoreProblem(stream.WrittenFile(), scratch->path() + QStringLiteral("/check"));
        if (!fault.isEmpty())
            return ArchiveResult::InputOutputError;
    }
    return stream.Commit() ? ArchiveResult::Done : ArchiveResult::InputOutputError;
}

} // namespace

int PackFolder(const QString& sourceFolder, const QString& archiveFile,
               const TArchiveProgress& progress) {
    QString fault;
    return PackFolder(sourceFolder, archiveFile, progress, fault);
}

int PackFolder(const QString& sourceFolder, const QString& archiveFile,
               const TArchiveProgress& progress, QString& fault) {
    fault.clear();
    try {
        return Pack(sourceFolder, archiveFile, progress, fault);
    } catch (...) {
        return ArchiveResult::InputOutputError;
    }
}
