#include "BackupCommand.h"

#include "ArchiveCommand.h"

int BackupCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    static const char* const Messages[6] = {
        "Archive has been created",
        "Archive creation error: stopped; no archive was written",
        "Archive creation error: the data folder does not exist or holds no files",
        "Archive creation error",
        "Archive creation error",
        "Archive creation error: cannot write the archive, or a file is unreadable or too big",
    };
    return ArchiveCommand::Run(Usage, PackFolder, 0, Messages, args, out, err);
}
