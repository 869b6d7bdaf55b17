#pragma once

#include "Archive.h"

#include <QString>

#include <cstdio>
#include <string>
#include <vector>

// What the backup and restore commands share: two operands, the program's
// single-instance lock held throughout (the data folder must not change
// under a running program), the progress bar, and one line telling the
// result, whose code is the exit status.
class ArchiveCommand {
public:
    static constexpr int ProgramRunning = 6;

    using Operation = int (*)(const QString&, const QString&, const TArchiveProgress&);

    // messages holds the line for each result code 0 to 5; code 0's goes to
    // out, the others to err.
    static int Run(const char* usage, Operation operation, const char* const (&messages)[6],
                   const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};
