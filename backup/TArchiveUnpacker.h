#pragma once

#include "Archive.h"
#include "TBlockPipeline.h"

#include <QFile>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <vector>

// Reads an archive, trusting nothing in it: the signature, the name block
// (bare file names only, each once), then every file's size and blocks into
// a folder. Every length is checked against the end of the archive and the
// block bound before anything is allocated, and every block must
// decompress to exactly the bytes its place in the file calls for. Blocks
// are decompressed ahead on worker threads while the files are written, in
// order, on the caller's thread, which also runs the progress callback.
class TArchiveUnpacker {
public:
    explicit TArchiveUnpacker(TArchiveProgress progress,
                              int threads = TBlockPipeline::DefaultThreads());

    // Opens the archive and checks its signature: Done, NotAnArchive or
    // InputOutputError.
    int Open(const QString& archiveFile);
    // Reads the names and writes every file into folder: a result code.
    // Reading stops at the first fault, with the code the fault's place in
    // the archive gives.
    int UnpackInto(const QString& folder);

    // What the archive holds, once UnpackInto is done.
    const QStringList& Names() const { return names_; }
    const std::vector<std::int64_t>& Sizes() const { return sizes_; }
    // Why Open or UnpackInto gave a result other than Done, in words for
    // the user (lower case, no full stop): where the archive is damaged,
    // counting its blocks from 1 (the list of files), which file could not
    // be written, ...
    const QString& Fault() const { return fault_; }

private:
    bool Read(char* to, std::int64_t count);
    bool ReadInt32(std::int32_t& value);
    int ReadBlock(std::vector<char>& packed);
    int ReadNames();
    int Fail(int result, const QString& fault);
    int Finish(int result, const QString& fault = {});
    int Drain(bool all);
    int Consume(std::unique_ptr<TBlockTask> task);
    int CloseFile();
    QString NotWritten() const;

    TArchiveProgress progress_;
    int threads_;
    bool stop_ = false;
    QFile archive_;
    std::int64_t archiveSize_ = 0;
    // Blocks read so far, the list of files included.
    int blocks_ = 0;
    QString fault_;
    QString folder_;
    QStringList names_;
    std::vector<std::int64_t> sizes_;
    QFile file_;
    int fileIndex_ = -1;
    std::unique_ptr<TBlockPipeline> pipeline_;
    std::vector<std::unique_ptr<TBlockTask>> spare_;
};
