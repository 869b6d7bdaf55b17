#pragma once

#include <QString>

#include <cstdio>
#include <string>
#include <vector>

// velmora-tool import FOLDER DATAFOLDER: brings what FOLDER holds (an older
// installation's tables, or a folder written by velmora-tool export) into
// the catalog of DATAFOLDER (creating the catalog when the folder has none), in
// one transaction, and writes a summary to out. Exit status: 0 imported, 1
// nothing could be imported (the reason on err), 6 while Velmora runs on
// DATAFOLDER, 64 bad arguments.
class ImportCommand {
public:
    static constexpr const char* Usage = "import FOLDER DATAFOLDER";
    static constexpr const char* Summary =
        "bring an older installation's tables or an export into a catalog (exit 6 while "
        "Velmora runs)";

    // What a folder holds that import understands.
    enum class Source { Nothing, OlderTables, OpenExport };
    static Source SourceIn(const QString& folder);

    static int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};
