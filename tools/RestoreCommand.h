#pragma once

#include <cstdio>
#include <string>
#include <vector>

// velmora-tool restore ARCHIVE DATAFOLDER: replaces the files of the data
// folder with those of an archive, as the program's restore does; on any
// failure the folder keeps its files. The exit status is the unpacking
// result code (0 restored, 1 stopped, 3 no archive, 4 not an archive or a
// damaged one, 5 cannot read or write, 7 a failed swap could not be undone,
// 9 the archive holds no catalog: no velmora.db that opens, passes SQLite's
// quick check and has the catalog's tables); 6 while Velmora runs; 8 the
// archive is inside the data folder; 64 bad arguments. An archive of an
// older version's tables is imported into a new catalog, which then replaces
// the folder's files, only with --import-old; without it the archive is
// refused with 9.
class RestoreCommand {
public:
    static constexpr const char* Usage = "restore [--import-old] ARCHIVE DATAFOLDER";
    static constexpr const char* Summary =
        "replace the data folder's files with an archive's (exit 6 while Velmora runs)";

    static int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};
