#pragma once

#include <string>

// Which data folder is in use: an exclusive lock on a file named after the
// folder's real path, beside the single-instance lock file. The program
// holds it for its own data folder while it runs, velmora-tool for the folder
// it backs up or restores; so neither changes a folder the other uses, and
// the tool works on any other folder while the program runs. The system
// drops the lock when the process ends in any way.
class DataFolderLock {
public:
    // The data folder the program uses: "LDB" beside the working folder.
    static std::string ProgramDataFolder();
    // The folder's absolute path with links resolved as far as it exists
    // and no trailing delimiter: one text however the folder is named.
    static std::string RealPath(const std::string& folder);
    // The lock file of a data folder, beside the given single-instance lock
    // file.
    static std::string PathFor(const std::string& dataFolder, const std::string& instanceLock);

    DataFolderLock() = default;
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    // False when another process holds the lock of the folder (or its file
    // cannot be opened).
    bool Acquire(const std::string& dataFolder, const std::string& instanceLock);
    bool Held() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};
