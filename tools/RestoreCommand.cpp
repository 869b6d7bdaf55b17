#include "RestoreCommand.h"

#include "ArchiveCommand.h"

int RestoreCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    static const char* const Messages[6] = {
        "Database has been restored",
        "Database restore error: stopped; the data folder is unchanged",
        "Database restore error",
        "Database restore error: the archive does not exist",
        "Database restore error: not an archive, or a damaged one; the data folder is unchanged",
        "Database restore error: a read or write error; the data folder is unchanged",
    };
    return ArchiveCommand::Run(Usage, UnpackArchive, 1, Messages, args, out, err);
}
