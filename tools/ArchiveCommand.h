#pragma once

#include "Archive.h"

#include <QString>

class DataFolderLock;

#include <cstdio>
#include <string>
#include <vector>

// What the backup and restore commands share: two operands, each checked to
// be of its kind before anything is touched, the lock of the data folder
// held throughout (the folder must not change under a program running on
// it), an archive refused inside the data folder, an
// interrupted restore of the data folder finished or undone first, the
// progress bar, and one line telling the result, whose code is the exit
// status.
class ArchiveCommand {
public:
    static constexpr int ProgramRunning = 6;
    static constexpr int SameFolder = 8;
    static constexpr int BadArguments = 64;

    using Operation = int (*)(const QString&, const QString&, const TArchiveProgress&);

    // dataFolder is the index of the data folder's operand. messages holds
    // the line for each result code 0 to 5; code 0's goes to out, the others
    // to err.
    // Finishes or undoes an interrupted restore of the data folder, telling
    // on err what it did; false when it could do neither.
    static bool Recover(const QString& dataFolder, std::FILE* err);
    // Takes the data folder's lock; false, told on err, when Velmora or
    // another velmora-tool run holds it. A folder that cannot be locked for
    // another reason is left to the command.
    static bool Lock(DataFolderLock& lock, const std::string& dataFolder, std::FILE* err);

    static int Run(const char* usage, Operation operation, int dataFolder,
                   const char* const (&messages)[6], const std::vector<std::string>& args,
                   std::FILE* out, std::FILE* err);
};
