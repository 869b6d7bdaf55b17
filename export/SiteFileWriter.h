#pragma once

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>

// Writes files into a folder on a thread of its own, in the order they are
// given, while the caller goes on making the next ones. Few files wait at a
// time, so memory stays bounded by them. A failure stops the writing: from
// then on Add and Finish raise it (EFileError naming the file) in the
// caller's thread, and nothing given after it is written.
class SiteFileWriter {
public:
    static constexpr std::size_t MostWaiting = 16;

    explicit SiteFileWriter(QString folder);
    // Waits for the files given to be written; a failure is dropped.
    ~SiteFileWriter();
    SiteFileWriter(const SiteFileWriter&) = delete;
    SiteFileWriter& operator=(const SiteFileWriter&) = delete;

    // path is inside the folder; waits while MostWaiting files wait.
    void Add(const QString& path, QByteArray bytes);
    // Returns once every file given is written.
    void Finish();

private:
    void Work();
    // With the lock held: raises the failure, if there is one.
    void RaiseFailure() const;

    QString folder_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::pair<QString, QByteArray>> waiting_;
    bool writing_ = false;
    bool closing_ = false;
    std::exception_ptr failure_;
    std::thread thread_;
};
