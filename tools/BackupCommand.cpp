#include "BackupCommand.h"

#include "ArchiveCommand.h"

#include <QString>

#include <string>

namespace {

constexpr const char* WriteError =
    "Archive creation error: cannot write the archive, or a file is unreadable or too big";

std::string catalogMessage;

const char* Messages[6] = {
    "Archive has been created",
    "Archive creation error: stopped; no archive was written",
    "Archive creation error: the data folder does not exist or holds no files",
    "Archive creation error",
    "Archive creation error",
    WriteError,
};

// PackFolder, with a catalog that could not be packed, or would not
// restore, told on the line of code 5 and why.
int Pack(const QString& dataFolder, const QString& archive, const TArchiveProgress& progress) {
    QString fault;
    const int result = PackFolder(dataFolder, archive, progress, fault);
    Messages[ArchiveResult::InputOutputError] = WriteError;
    if (result == ArchiveResult::InputOutputError && !fault.isEmpty()) {
        catalogMessage =
            ("Archive creation error: " + fault + QStringLiteral("; no archive was written"))
                .toStdString();
        Messages[ArchiveResult::InputOutputError] = catalogMessage.c_str();
    }
    return result;
}

} // namespace

int BackupCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    return ArchiveCommand::Run(Usage, Pack, 0, Messages, args, out, err);
}
