#pragma once

#include <cstdio>
#include <string>
#include <vector>

// velmora-tool pack DATAFOLDER: checks and packs the catalog tables of the
// data folder and compacts its database file, as the program's "Pack
// databse" does, writing the same history to out. Exit status: 0 every table
// packed, 1 a table or the compaction failed (its line tells why), 2 no
// catalog in the folder, 6 while Velmora runs on it, 7 an interrupted
// restore of the folder could be neither finished nor undone, 64 bad
// arguments.
class PackCommand {
public:
    static constexpr const char* Usage = "pack DATAFOLDER";
    static constexpr const char* Summary =
        "check the catalog's tables and compact its file (exit 6 while Velmora runs)";

    static int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};
