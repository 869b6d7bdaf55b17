#pragma once

#include <cstdio>
#include <string>
#include <vector>

// velmora-tool import-csv FILE DATAFOLDER [--map "column=field,..."] (MAP in
// the usage):
// brings the rows of a CSV file into the figures of the catalog in the data
// folder (made when the folder has none), as the program's import window
// does. Without --map, columns named after a field go to it. The summary
// goes to out. Exit status: 0 the import ran (skipped rows are named in the
// summary), 1 nothing was imported (the reason is told), 6 while Velmora
// runs on the data folder, 7 an interrupted restore of the folder could be
// neither finished nor undone, 64 bad arguments, such as a mapping that
// names no known field or column.
class ImportCsvCommand {
public:
    static constexpr const char* Usage = "import-csv FILE DATAFOLDER [--map MAP]";
    static constexpr const char* Summary =
        "bring the rows of a CSV file into the figures (exit 6 while Velmora runs)";

    static int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};
