#pragma once

#include "ArchiveFormat.h"
#include "TBlockPipeline.h"
#include "TPartFile.h"

#include <QIODevice>
#include <QString>

#include <memory>
#include <vector>

// The buffered compressing stream that writes an archive. Write collects
// bytes in a buffer of one block; Flush turns what the buffer holds into one
// block (its length, then one complete zlib stream at level 9); WriteRaw
// writes bytes as they are. The blocks are compressed on worker threads and
// written in order, so the file is the same as with one thread.
//
// The file appears under its name, on disk, only when Commit succeeds;
// until then it is written under a temporary name in the same folder
// (TPartFile), and destroying the stream without Commit removes it, leaving
// an older file of that name as it was. What a crashed writer left there
// goes when the next stream is created in that folder.
class TPackStream {
public:
    static constexpr int BufferSize = ArchiveFormat::BlockSize;

    explicit TPackStream(int threads = TBlockPipeline::DefaultThreads());
    ~TPackStream();
    TPackStream(const TPackStream&) = delete;
    TPackStream& operator=(const TPackStream&) = delete;

    // Opens the file for writing (a write mode; an existing file is
    // replaced on Commit) and allocates the buffer.
    bool Create(const QString& fileName, QIODevice::OpenMode mode = QIODevice::WriteOnly);

    // Appends to the buffer, flushing it each time it is full. Returns
    // count, or -1 once the stream has failed.
    qint64 Write(const char* data, qint64 count);
    qint64 Write(const QByteArray& data) { return Write(data.constData(), data.size()); }
    // Writes the buffer's bytes as one block, when it holds any.
    bool Flush();
    // Writes bytes past the buffer, after everything flushed before.
    bool WriteRaw(const char* data, qint64 count);
    // Flushes and writes what is still being compressed, leaving the file
    // under its temporary name, WrittenFile, to be read back before Commit.
    bool Finish();
    QString WrittenFile() const { return file_.PartName(); }
    // Flushes, writes what is still being compressed and puts the file in
    // place under its name.
    bool Commit();

    // True once a block could not be compressed or written; every later
    // call fails and Commit does nothing.
    bool Failed() const { return failed_; }
    qint64 BufferedBytes() const;

private:
    // A block to fill, reusing the memory of one written before.
    std::unique_ptr<TBlockTask> NewBlock();
    void Queue(std::unique_ptr<TBlockTask> task);
    void WriteOut(bool all);

    TPartFile file_;
    bool open_ = false;
    bool failed_ = false;
    std::unique_ptr<TBlockTask> buffer_;
    // Written blocks kept for reuse: with the buffer and the blocks in the
    // pipeline, memory stays within (threads + 4) × about 1 MiB.
    static constexpr std::size_t MaxSpare = 2;
    std::vector<std::unique_ptr<TBlockTask>> spare_;
    // Last, so its workers stop before the rest goes.
    TBlockPipeline pipeline_;
};
