#include "SiteFileWriter.h"

#include "HtmlPageBuilder.h"

#include <QDir>

SiteFileWriter::SiteFileWriter(QString folder)
    : folder_(std::move(folder)), thread_([this] { Work(); }) {}

SiteFileWriter::~SiteFileWriter() {
    {
        std::lock_guard lock(mutex_);
        closing_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void SiteFileWriter::Add(const QString& path, QByteArray bytes) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return failure_ || waiting_.size() < MostWaiting; });
    RaiseFailure();
    waiting_.emplace_back(path, std::move(bytes));
    lock.unlock();
    changed_.notify_all();
}

void SiteFileWriter::Finish() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return failure_ || (waiting_.empty() && !writing_); });
    RaiseFailure();
}

void SiteFileWriter::RaiseFailure() const {
    if (failure_)
        std::rethrow_exception(failure_);
}

void SiteFileWriter::Work() {
    const QDir folder(folder_);
    for (;;) {
        std::pair<QString, QByteArray> file;
        {
            std::unique_lock lock(mutex_);
            writing_ = false;
            changed_.notify_all();
            changed_.wait(lock, [this] { return closing_ || !waiting_.empty(); });
            if (waiting_.empty())
                return;
            file = std::move(waiting_.front());
            waiting_.pop_front();
            writing_ = true;
        }
        changed_.notify_all();
        try {
            HtmlPageBuilder::WriteFile(folder.filePath(file.first), file.second);
        } catch (...) {
            std::lock_guard lock(mutex_);
            failure_ = std::current_exception();
            waiting_.clear();
        }
    }
}
