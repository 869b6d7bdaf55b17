#pragma once

#include <cstdio>
#include <string>
#include <vector>

// velmora-tool copy SOURCE TARGET [--replace]: copies a whole catalog
// between data folders and database servers, either way. SOURCE and TARGET
// are each a data folder or a libpq connection string (postgresql://...).
// The target's tables are made by the structure check and its rows replaced
// in one transaction; a target holding rows is refused unless --replace is
// given. Exit status: 0 copied, 1 the copy failed and the target is
// unchanged (the reason is told), 2 no catalog in the source folder or a
// catalog that cannot be opened or reached, 3 the target holds rows and
// --replace was not given, 6 while Velmora runs on the target folder, 7 an
// interrupted restore of the target folder could be neither finished nor
// undone, 64 bad arguments.
class CopyCommand {
public:
    static constexpr const char* Usage = "copy SOURCE TARGET [--replace]";
    static constexpr const char* Summary =
        "copy a whole catalog between data folders and servers (postgresql://...)";

    static int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};
