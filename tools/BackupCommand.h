#pragma once

#include <cstdio>
#include <string>
#include <vector>

// velmora-tool backup DATAFOLDER ARCHIVE: packs the files of the data folder
// into an archive, as the program's backup does. The exit status is the
// packing result code (0 written, 1 stopped, 2 no such folder or no files in
// it, 5 cannot write, or the catalog cannot be packed as one committed
// state or would not restore, told with the reason); 6 while Velmora runs;
// 7 an interrupted restore of the data folder could be neither finished nor
// undone; 8 the archive would be inside the data folder; 64 bad arguments.
class BackupCommand {
public:
    static constexpr const char* Usage = "backup DATAFOLDER ARCHIVE";
    static constexpr const char* Summary =
        "pack the data folder's files into an archive (exit 6 while Velmora runs)";

    static int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};
