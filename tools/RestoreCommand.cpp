#include "RestoreCommand.h"

#include "ArchiveCommand.h"
#include "ToolApplication.h"

#include <QString>

#include <algorithm>
#include <memory>

#include <string>

namespace {

// Restore never gives NoSourceFiles, packing's code: its message line is
// the one of NoCatalog, which the shared command knows nothing of.
constexpr int NoCatalogLine = ArchiveResult::NoSourceFiles;

std::string noCatalogMessage;

// Whether an archive of an older version's tables is imported into a new
// catalog (--import-old), and whether the archive was one.
bool importOld = false;
bool heldOldTables = false;

const char* Messages[6] = {
    "Database has been restored",
    "Database restore error: stopped; the data folder is unchanged",
    "Database restore error: the archive holds no catalog; the data folder is unchanged",
    "Database restore error: the archive does not exist",
    "Database restore error: not an archive, or a damaged one; the data folder is unchanged",
    "Database restore error: a read or write error; the data folder is unchanged",
};

// UnpackArchive, with an archive that holds no catalog told on the line of
// code 2 and why.
int Restore(const QString& archive, const QString& dataFolder, const TArchiveProgress& progress) {
    QString fault;
    const int result = UnpackArchive(archive, dataFolder, progress, fault, [] {
        heldOldTables = true;
        return importOld;
    });
    if (result != ArchiveResult::NoCatalog)
        return result;
    if (heldOldTables && !importOld)
        fault += QStringLiteral(" (restore with --import-old to import them into a new catalog)");
    noCatalogMessage =
        ("Database restore error: " + fault + QStringLiteral("; the data folder is unchanged"))
            .toStdString();
    Messages[NoCatalogLine] = noCatalogMessage.c_str();
    return NoCatalogLine;
}

} // namespace

int RestoreCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    std::vector<std::string> operands = args;
    const auto option = std::find(operands.begin(), operands.end(), "--import-old");
    importOld = option != operands.end();
    if (importOld)
        operands.erase(option);
    // The import opens the new catalog through the toolkit's driver.
    const std::unique_ptr<QCoreApplication> application =
        importOld ? MakeGuiApplication() : nullptr;
    const int result = ArchiveCommand::Run(Usage, Restore, 1, Messages, operands, out, err);
    return result == NoCatalogLine ? ArchiveResult::NoCatalog : result;
}
