#pragma once

#include <string>

// Which data folder is in use: an exclusive lock (flock) on the data folder
// itself, so every process that names the folder, however and from
// wherever, meets the same lock. The program holds it for its own data
// folder while it runs, velmora-tool for the folder it backs up, restores
// or packs; so neither changes a folder the other uses, and either works on
// any other folder meanwhile. Nothing is written into the folder, and the
// system drops the lock when the process ends in any way.
class DataFolderLock {
public:
    // The data folder the program uses: "LDB" beside the working folder.
    static std::string ProgramDataFolder();
    // The folder's absolute path with links resolved as far as it exists
    // and no trailing delimiter: one text however the folder is named.
    static std::string RealPath(const std::string& folder);
    // Whether a lock held by this very process covers the folder.
    static bool HeldHere(const std::string& folder);

    DataFolderLock() = default;
    ~DataFolderLock();
    DataFolderLock(const DataFolderLock&) = delete;
    DataFolderLock& operator=(const DataFolderLock&) = delete;

    // False when another holder has the lock of the folder, or the folder
    // does not exist (or cannot be opened).
    bool Acquire(const std::string& dataFolder);
    // Takes the lock unless this process holds it already, through another
    // object. False only when another process has it.
    bool AcquireUnlessHeldHere(const std::string& dataFolder);
    bool Held() const { return fd_ >= 0; }
    // After Acquire failed: whether another holder has the lock, rather
    // than the folder being missing or unreadable.
    bool Busy() const { return busy_; }
    void Release();

private:
    int fd_ = -1;
    bool busy_ = false;
};
