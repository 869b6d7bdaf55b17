#include "TArchiveUnpacker.h"

#include "ArchiveFormat.h"
#include "ByteReader.h"

#include <QSet>

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace {

using namespace ArchiveFormat;

// Decompresses the task's input into at most one block. A stream that holds
// more (Z_BUF_ERROR), is damaged or is followed by other bytes fails.
void DecompressBlock(TBlockTask& task) {
    task.output.resize(BlockSize);
    uLongf length = BlockSize;
    uLong consumed = static_cast<uLong>(task.input.size());
    task.status = uncompress2(reinterpret_cast<Bytef*>(task.output.data()), &length,
                              reinterpret_cast<const Bytef*>(task.input.data()), &consumed);
    if (task.status == Z_OK && consumed != task.input.size())
        task.status = Z_DATA_ERROR;
    task.output.resize(task.status == Z_OK ? length : 0);
}

// The lines of the names text, split at CR LF, CR or LF; a break at the end
// starts no further line.
QList<QByteArray> SplitLines(const QByteArray& text) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines << text.mid(start, i - start);
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QString DamagedAt(int block, const QString& where) {
    return QStringLiteral("the archive is damaged at block %1 (%2)").arg(block).arg(where);
}

QString InFile(const QString& name) {
    return QStringLiteral("file %1").arg(name);
}

const QString ListOfFiles = QStringLiteral("the list of files");

} // namespace

TArchiveUnpacker::TArchiveUnpacker(TArchiveProgress progress, int threads)
    : progress_(std::move(progress)), threads_(threads) {}

int TArchiveUnpacker::Open(const QString& archiveFile) {
    archive_.setFileName(archiveFile);
    if (!archive_.open(QIODevice::ReadOnly))
        return Fail(
            ArchiveResult::InputOutputError,
            QStringLiteral("the archive can not be opened (%1)").arg(archive_.errorString()));
    archiveSize_ = archive_.size();
    char signature[SignatureSize];
    if (!Read(signature, SignatureSize))
        return Fail(
            ArchiveResult::InputOutputError,
            archive_.error() == QFileDevice::NoError
                ? QStringLiteral("the file is not an archive (it is too short)")
                : QStringLiteral("the archive can not be read (%1)").arg(archive_.errorString()));
    if (std::memcmp(signature, Signature, SignatureSize) != 0)
        return Fail(ArchiveResult::NotAnArchive, QStringLiteral("the file is not an archive"));
    return ArchiveResult::Done;
}

int TArchiveUnpacker::UnpackInto(const QString& folder) {
    folder_ = folder;
    if (const int result = ReadNames())
        return result;
    pipeline_ = std::make_unique<TBlockPipeline>(threads_);
    for (int i = 0; i < names_.size(); ++i) {
        std::int32_t size = 0;
        if (!ReadInt32(size))
            return Finish(ArchiveResult::InputOutputError,
                          QStringLiteral("the archive ends after block %1, before the %2")
                              .arg(blocks_)
                              .arg(InFile(names_[i])));
        if (size < 0)
            return Finish(ArchiveResult::NotAnArchive,
                          QStringLiteral("the archive is damaged after block %1 (the size of %2)")
                              .arg(blocks_)
                              .arg(InFile(names_[i])));
        sizes_.push_back(size);
        auto start = std::make_unique<TBlockTask>();
        start->file = i;
        pipeline_->Push(std::move(start));
        for (std::int64_t done = 0; done < size; done += BlockSize) {
            std::unique_ptr<TBlockTask> block;
            if (spare_.empty()) {
                block = std::make_unique<TBlockTask>();
            } else {
                block = std::move(spare_.back());
                spare_.pop_back();
            }
            if (const int result = ReadBlock(block->input))
                return Finish(result, DamagedAt(blocks_, InFile(names_[i])));
            block->work = DecompressBlock;
            block->file = i;
            block->block = blocks_;
            block->expected = std::min<std::int64_t>(BlockSize, size - done);
            block->position = archive_.pos();
            pipeline_->Push(std::move(block));
            if (const int result = Drain(false))
                return result;
        }
    }
    // Bytes after the last file mean the sizes or lengths were misread.
    if (archive_.pos() != archiveSize_)
        return Finish(ArchiveResult::InputOutputError,
                      QStringLiteral("the archive is damaged after block %1 (more bytes follow "
                                     "its last file)")
                          .arg(blocks_));
    return Finish(ArchiveResult::Done);
}

bool TArchiveUnpacker::Read(char* to, std::int64_t count) {
    return archive_.read(to, count) == count;
}

bool TArchiveUnpacker::ReadInt32(std::int32_t& value) {
    char bytes[4];
    if (!Read(bytes, 4))
        return false;
    value = ByteReader(QByteArrayView(bytes, 4)).Int32(0);
    return true;
}

// Reads one block's length and compressed bytes, refusing a length no writer
// produces or one that runs past the end of the archive.
int TArchiveUnpacker::ReadBlock(std::vector<char>& packed) {
    ++blocks_;
    std::int32_t length = 0;
    if (!ReadInt32(length) || length <= 0 || length > MaxBlockLength() ||
        length > archiveSize_ - archive_.pos())
        return ArchiveResult::InputOutputError;
    packed.resize(static_cast<std::size_t>(length));
    return Read(packed.data(), length) ? ArchiveResult::Done : ArchiveResult::InputOutputError;
}

int TArchiveUnpacker::ReadNames() {
    TBlockTask block;
    if (const int result = ReadBlock(block.input))
        return Fail(result, DamagedAt(blocks_, ListOfFiles));
    DecompressBlock(block);
    if (block.status != Z_OK)
        return Fail(ArchiveResult::InputOutputError, DamagedAt(blocks_, ListOfFiles));
    const QByteArray text(block.output.data(), static_cast<qsizetype>(block.output.size()));
    QSet<QString> seen;
    for (const QByteArray& line : SplitLines(text)) {
        const QString name = QString::fromUtf8(line);
        if (name.toUtf8() != line || !IsBareFileName(name) || seen.contains(name))
            return Fail(ArchiveResult::NotAnArchive,
                        DamagedAt(blocks_, QStringLiteral("a name in the list of files")));
        seen.insert(name);
        names_ << name;
    }
    if (names_.isEmpty())
        return Fail(ArchiveResult::NotAnArchive, QStringLiteral("the archive lists no files"));
    return ArchiveResult::Done;
}

int TArchiveUnpacker::Fail(int result, const QString& fault) {
    fault_ = fault;
    return result;
}

// Writes what was read ahead before a result is given, so that an earlier
// fault, or a stop, takes its turn as if the archive were read one block at
// a time.
int TArchiveUnpacker::Finish(int result, const QString& fault) {
    if (const int earlier = Drain(true))
        return earlier;
    if (result == ArchiveResult::Done)
        return CloseFile();
    return Fail(result, fault);
}

int TArchiveUnpacker::Drain(bool all) {
    while (!pipeline_->Empty() && (all || pipeline_->Full() || pipeline_->FrontDone())) {
        if (const int result = Consume(pipeline_->Pop()))
            return result;
    }
    return ArchiveResult::Done;
}

int TArchiveUnpacker::Consume(std::unique_ptr<TBlockTask> task) {
    if (!task->work) {
        if (const int result = CloseFile())
            return result;
        fileIndex_ = task->file;
        file_.setFileName(folder_ + QLatin1Char('/') + names_[fileIndex_]);
        return file_.open(QIODevice::WriteOnly | QIODevice::Truncate)
                   ? ArchiveResult::Done
                   : Fail(ArchiveResult::InputOutputError, NotWritten());
    }
    const QString& name = names_[task->file];
    if (task->status != Z_OK)
        return Fail(ArchiveResult::InputOutputError, DamagedAt(task->block, InFile(name)));
    if (static_cast<std::int64_t>(task->output.size()) != task->expected)
        return Fail(ArchiveResult::NotAnArchive, DamagedAt(task->block, InFile(name)));
    const auto count = static_cast<qint64>(task->output.size());
    if (file_.write(task->output.data(), count) != count)
        return Fail(ArchiveResult::InputOutputError, NotWritten());
    if (progress_)
        progress_(RoundedPercent(task->position, archiveSize_), stop_);
    if (stop_)
        return Fail(ArchiveResult::Stopped, QStringLiteral("stopped"));
    if (spare_.size() < 2)
        spare_.push_back(std::move(task));
    return ArchiveResult::Done;
}

// Closes the file being written, which must hold its recorded size.
int TArchiveUnpacker::CloseFile() {
    if (fileIndex_ < 0)
        return ArchiveResult::Done;
    const bool written = file_.flush() && file_.error() == QFileDevice::NoError;
    const QString fault = NotWritten();
    const qint64 size = file_.size();
    file_.close();
    const std::int64_t recorded = sizes_[static_cast<std::size_t>(fileIndex_)];
    fileIndex_ = -1;
    if (!written)
        return Fail(ArchiveResult::InputOutputError, fault);
    return size == recorded ? ArchiveResult::Done : Fail(ArchiveResult::NotAnArchive, fault);
}

// The file being written, which could not be written whole.
QString TArchiveUnpacker::NotWritten() const {
    const QString name = fileIndex_ >= 0 ? names_[fileIndex_] : QString();
    return file_.error() == QFileDevice::NoError
               ? QStringLiteral("the restored file %1 could not be written whole").arg(name)
               : QStringLiteral("the restored file %1 could not be written (%2)")
                     .arg(name, file_.errorString());
}
