#pragma once

#include "DataFolderLock.h"

#include <string>

// Makes sure only one copy of the program runs on a data folder: the lock
// of the folder itself (DataFolderLock), held for the life of the process,
// whatever the environment the copy was started in. Copies on other data
// folders run side by side. The system drops the lock when the process ends
// in any way, so a crashed copy never blocks the next start. A catalog on a
// database server is not a data folder: one copy per user and server
// catalog, through a lock folder of its own (ServerLockFolder).
class SingleInstanceLock {
public:
    // A file of the program's in the user's runtime folder: "velmora" and
    // extension, or "/tmp/velmora-<user id>" and extension without one.
    static std::string RuntimePath(const std::string& extension);

    // A short name for a text, the same in every build: 16 hex digits.
    static std::string KeyHash(const std::string& text);
    // What names a catalog on a database server for this user, however its
    // connection string is written; never a data folder's path.
    static std::string ServerKey(const std::string& conninfo);
    // The folder whose lock stands for a catalog on a database server: one
    // of the program's in the user's runtime folder, named after ServerKey.
    static std::string ServerLockFolder(const std::string& conninfo);

    // Without a folder, the program's data folder as Acquire finds it.
    explicit SingleInstanceLock(std::string dataFolder = {});

    // Makes the data folder when it is missing and takes its lock. False
    // only when another copy of the program, or velmora-tool, holds the
    // folder. A folder that cannot be made or opened is left for the
    // start-up sequence to report: true then, with nothing held.
    bool Acquire();
    bool Held() const { return lock_.Held(); }

private:
    std::string dataFolder_;
    DataFolderLock lock_;
};
