#include "TArchiveUnpacker.h"

#include "ArchiveFormat.h"

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

} // namespace

TArchiveUnpacker::TArchiveUnpacker(TArchiveProgress progress, int threads)
    : progress_(std::move(progress)), threads_(threads) {}

int TArchiveUnpacker::Open(const QString& archiveFile) {
    archive_.setFileName(archiveFile);
    if (!archive_.open(QIODevice::ReadOnly))
        return ArchiveResult::InputOutputError;
    archiveSize_ = archive_.size();
    char signature[SignatureSize];
    if (!Read(signature, SignatureSize))
        return ArchiveResult::InputOutputError;
    if (std::memcmp(signature, Signature, SignatureSize) != 0)
        return ArchiveResult::NotAnArchive;
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
            return Finish(ArchiveResult::InputOutputError);
        if (size < 0)
            return Finish(ArchiveResult::NotAnArchive);
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
                return Finish(result);
            block->work = DecompressBlock;
            block->file = i;
            block->expected = std::min<std::int64_t>(BlockSize, size - done);
            block->position = archive_.pos();
            pipeline_->Push(std::move(block));
            if (const int result = Drain(false))
                return result;
        }
    }
    // Bytes after the last file mean the sizes or lengths were misread.
    if (archive_.pos() != archiveSize_)
        return Finish(ArchiveResult::InputOutputError);
    return Finish(ArchiveResult::Done);
}

bool TArchiveUnpacker::Read(char* to, std::int64_t count) {
    return archive_.read(to, count) == count;
}

bool TArchiveUnpacker::ReadInt32(std::int32_t& value) {
    char bytes[4];
    if (!Read(bytes, 4))
        return false;
    value = GetInt32(bytes);
    return true;
}

// Reads one block's length and compressed bytes, refusing a length no writer
// produces or one that runs past the end of the archive.
int TArchiveUnpacker::ReadBlock(std::vector<char>& packed) {
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
        return result;
    DecompressBlock(block);
    if (block.status != Z_OK)
        return ArchiveResult::InputOutputError;
    const QByteArray text(block.output.data(), static_cast<qsizetype>(block.output.size()));
    QSet<QString> seen;
    for (const QByteArray& line : SplitLines(text)) {
        const QString name = QString::fromUtf8(line);
        if (name.toUtf8() != line || !IsBareFileName(name) || seen.contains(name))
            return ArchiveResult::NotAnArchive;
        seen.insert(name);
        names_ << name;
    }
    return names_.isEmpty() ? ArchiveResult::NotAnArchive : ArchiveResult::Done;
}

// Writes what was read ahead before a result is given, so that an earlier
// fault, or a stop, takes its turn as if the archive were read one block at
// a time.
int TArchiveUnpacker::Finish(int result) {
    if (const int earlier = Drain(true))
        return earlier;
    if (result == ArchiveResult::Done)
        return CloseFile();
    return result;
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
                   : ArchiveResult::InputOutputError;
    }
    if (task->status != Z_OK)
        return ArchiveResult::InputOutputError;
    if (static_cast<std::int64_t>(task->output.size()) != task->expected)
        return ArchiveResult::NotAnArchive;
    const auto count = static_cast<qint64>(task->output.size());
    if (file_.write(task->output.data(), count) != count)
        return ArchiveResult::InputOutputError;
    if (progress_)
        progress_(RoundedPercent(task->position, archiveSize_), stop_);
    if (stop_)
        return ArchiveResult::Stopped;
    if (spare_.size() < 2)
        spare_.push_back(std::move(task));
    return ArchiveResult::Done;
}

// Closes the file being written, which must hold its recorded size.
int TArchiveUnpacker::CloseFile() {
    if (fileIndex_ < 0)
        return ArchiveResult::Done;
    const bool written = file_.flush() && file_.error() == QFileDevice::NoError;
    const qint64 size = file_.size();
    file_.close();
    const std::int64_t recorded = sizes_[static_cast<std::size_t>(fileIndex_)];
    fileIndex_ = -1;
    if (!written)
        return ArchiveResult::InputOutputError;
    return size == recorded ? ArchiveResult::Done : ArchiveResult::NotAnArchive;
}
