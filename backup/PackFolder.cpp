#include "Archive.h"
#include "ArchiveFormat.h"
#include "TPackStream.h"

#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <limits>
#include <vector>

namespace {

using namespace ArchiveFormat;

constexpr std::int64_t MaxSize = std::numeric_limits<std::int32_t>::max();

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

int Pack(const QString& sourceFolder, const QString& archiveFile,
         const TArchiveProgress& progress) {
    const QString folder = WithoutTrailingDelimiter(sourceFolder);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return ArchiveResult::NoSourceFiles;
    const QFileInfoList files = FolderFiles(folder);
    if (files.isEmpty())
        return ArchiveResult::NoSourceFiles;

    // Whatever the layout cannot hold is refused before anything is written.
    QByteArray names;
    std::int64_t total = 0;
    for (const QFileInfo& file : files) {
        if (!IsBareFileName(file.fileName()) || file.size() > MaxSize)
            return ArchiveResult::InputOutputError;
        total += file.size();
        names += file.fileName().toUtf8() + "\r\n";
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
    for (const QFileInfo& file : files) {
        char size[4];
        PutInt32(size, static_cast<std::int32_t>(file.size()));
        if (!stream.WriteRaw(size, 4))
            return ArchiveResult::InputOutputError;
        const int result = CopyFile(stream, file, piece, done, total, progress, stop);
        if (result != ArchiveResult::Done)
            return result;
    }
    return stream.Commit() ? ArchiveResult::Done : ArchiveResult::InputOutputError;
}

} // namespace

int PackFolder(const QString& sourceFolder, const QString& archiveFile,
               const TArchiveProgress& progress) {
    try {
        return Pack(sourceFolder, archiveFile, progress);
    } catch (...) {
        return ArchiveResult::InputOutputError;
    }
}
