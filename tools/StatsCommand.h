#pragma once

#include <cstdio>
#include <string>
#include <vector>

// velmora-tool stats DATAFOLDER [--json]: the numbers of the statistics
// page, as lines of text or as one JSON object. The catalog is read through
// a read-only connection, also while Velmora runs on the data folder. Exit
// codes: 0 done, 1 no catalog in the data folder or one that cannot be
// read, 64 bad arguments.
class StatsCommand {
public:
    static constexpr const char* Usage = "stats DATAFOLDER [--json]";
    static constexpr const char* Summary = "count figures by genre, manufacturer, scale, ...";

    static int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};
