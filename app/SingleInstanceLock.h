#pragma once

#include "DataFolderLock.h"

#include <string>

// Makes sure only one copy of the program runs: an exclusive lock on a fixed
// file, held for the life of the process. The system drops the lock when the
// process ends in any way, so a crashed copy never blocks the next start.
class SingleInstanceLock {
public:
    // A file of the program's in the user's runtime folder: "velmora" and
    // extension, or "/tmp/velmora-<user id>" and extension without one.
    static std::string RuntimePath(const std::string& extension);
    // The lock file every copy of the program uses.
    static std::string DefaultPath();

    explicit SingleInstanceLock(std::string path = DefaultPath());
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // False when another process holds the lock (or the file cannot be
    // opened at all, which is reported on standard error), or holds the lock
    // of the program's data folder (velmora-tool working on it).
    bool Acquire();
    bool Held() const { return fd_ >= 0; }

private:
    std::string path_;
    int fd_ = -1;
    DataFolderLock dataFolder_;
};
