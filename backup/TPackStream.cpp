#include "TPackStream.h"

#include "ByteWriter.h"

#include <zlib.h>

#include <algorithm>

namespace {

// Compresses the task's input into its output: the 4-byte length, then one
// zlib stream at level 9.
void CompressBlock(TBlockTask& task) {
    uLongf length = compressBound(static_cast<uLong>(task.input.size()));
    task.output.resize(4 + length);
    task.status = compress2(reinterpret_cast<Bytef*>(task.output.data() + 4), &length,
                            reinterpret_cast<const Bytef*>(task.input.data()),
                            static_cast<uLong>(task.input.size()), Z_BEST_COMPRESSION);
    ByteWriter(task.output.data(), 4).Int32(static_cast<std::int32_t>(length));
    task.output.resize(4 + length);
}

} // namespace

TPackStream::TPackStream(int threads) : pipeline_(threads) {}

TPackStream::~TPackStream() = default;

// Whatever the mode, the file is written anew and replaces an older one.
bool TPackStream::Create(const QString& fileName, [[maybe_unused]] QIODevice::OpenMode mode) {
    if (open_)
        return false;
    if (!file_.Open(fileName))
        return false;
    buffer_ = NewBlock();
    open_ = true;
    return true;
}

qint64 TPackStream::Write(const char* data, qint64 count) {
    if (!open_ || failed_)
        return -1;
    qint64 done = 0;
    while (done < count) {
        std::vector<char>& buffer = buffer_->input;
        const qint64 room = BufferSize - static_cast<qint64>(buffer.size());
        const qint64 piece = std::min(room, count - done);
        buffer.insert(buffer.end(), data + done, data + done + piece);
        done += piece;
        if (static_cast<qint64>(buffer.size()) == BufferSize && !Flush())
            return -1;
    }
    return count;
}

bool TPackStream::Flush() {
    if (!open_ || failed_)
        return false;
    if (buffer_->input.empty())
        return true;
    std::unique_ptr<TBlockTask> block = std::move(buffer_);
    buffer_ = NewBlock();
    block->work = CompressBlock;
    Queue(std::move(block));
    return !failed_;
}

bool TPackStream::WriteRaw(const char* data, qint64 count) {
    if (!open_ || failed_)
        return false;
    auto raw = std::make_unique<TBlockTask>();
    raw->output.assign(data, data + count);
    Queue(std::move(raw));
    return !failed_;
}

bool TPackStream::Finish() {
    if (!Flush())
        return false;
    WriteOut(true);
    if (failed_ || !file_.Flush())
        failed_ = true;
    return !failed_;
}

bool TPackStream::Commit() {
    if (!Flush())
        return false;
    WriteOut(true);
    if (failed_ || !file_.Commit()) {
        failed_ = true;
        return false;
    }
    open_ = false;
    return true;
}

qint64 TPackStream::BufferedBytes() const {
    return buffer_ ? static_cast<qint64>(buffer_->input.size()) : 0;
}

std::unique_ptr<TBlockTask> TPackStream::NewBlock() {
    std::unique_ptr<TBlockTask> task;
    if (spare_.empty()) {
        task = std::make_unique<TBlockTask>();
        task->input.reserve(BufferSize);
    } else {
        task = std::move(spare_.back());
        spare_.pop_back();
        task->input.clear();
        task->output.clear();
        task->work = nullptr;
        task->status = Z_OK;
    }
    return task;
}

void TPackStream::Queue(std::unique_ptr<TBlockTask> task) {
    pipeline_.Push(std::move(task));
    WriteOut(false);
}

// Writes the steps at the front that are done, and waits for the oldest as
// long as the pipeline is full (or, with all, until it is empty).
void TPackStream::WriteOut(bool all) {
    while (!pipeline_.Empty() && (all || pipeline_.Full() || pipeline_.FrontDone())) {
        std::unique_ptr<TBlockTask> task = pipeline_.Pop();
        const auto size = static_cast<qint64>(task->output.size());
        if (!failed_ && (task->status != Z_OK || file_.Write(task->output.data(), size) != size))
            failed_ = true;
        if (task->work && spare_.size() < MaxSpare)
            spare_.push_back(std::move(task));
    }
}
