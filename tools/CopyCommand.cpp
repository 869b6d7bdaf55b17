#include "CopyCommand.h"

#include "ArchiveCommand.h"

#include "ConnectionText.h"
#include "DataFolderLock.h"
#include "EngineConnection.h"
#include "TCatalogCopy.h"
#include "TDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <exception>
#include <memory>

namespace {

constexpr int Copied = 0;
constexpr int NotCopied = 1;
constexpr int NoCatalog = 2;
constexpr int TargetHoldsRows = 3;
constexpr int ProgramRunning = 6;
constexpr int RollBackFailed = 7;
constexpr int BadArguments = 64;

bool IsServer(const std::string& place) {
    return place.rfind("postgresql://", 0) == 0 || place.rfind("postgres://", 0) == 0;
}

// A place as the messages name it: a server without its password.
std::string Named(const std::string& place) {
    if (!IsServer(place))
        return place;
    return ConnectionText::WithoutPassword(QString::fromStdString(place)).toStdString();
}

QString CatalogFile(const std::string& folder) {
    return QDir(QFile::decodeName(folder.c_str())).filePath(TDatabase::FileNameInFolder);
}

// Connects to the catalog at place; nullptr after telling why on err.
std::unique_ptr<EngineConnection> Connect(const std::string& place, bool create, std::FILE* err) {
    QString error;
    std::unique_ptr<EngineConnection> db;
    if (IsServer(place)) {
        bool needsPassword = false;
        db =
            EngineConnection::OpenServer(QString::fromStdString(place), &error, {}, &needsPassword);
        if (needsPassword)
            error = QStringLiteral("the server asks for a password; give it in ~/.pgpass or "
                                   "PGPASSWORD");
    } else if (!create && !QFileInfo(CatalogFile(place)).isFile()) {
        error = QStringLiteral("no catalog database (%1) in the folder")
                    .arg(QString::fromLatin1(TDatabase::FileNameInFolder));
    } else {
        db = EngineConnection::OpenFile(CatalogFile(place),
                                        create ? EngineConnection::OpenMode::ReadWriteCreate
                                               : EngineConnection::OpenMode::ReadOnly,
                                        &error);
    }
    if (!db)
        std::fprintf(err, "velmora-tool: %s: %s; nothing was copied\n", Named(place).c_str(),
                     error.toLocal8Bit().constData());
    return db;
}

} // namespace

int CopyCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    std::vector<std::string> places;
    bool replace = false;
    bool unknown = false;
    for (const std::string& arg : args) {
        if (arg == "--replace")
            replace = true;
        else if (arg.empty() || arg[0] == '-')
            unknown = true;
        else
            places.push_back(arg);
    }
    if (unknown || places.size() != 2) {
        std::fprintf(err, "usage: velmora-tool %s\n", Usage);
        return BadArguments;
    }
    const std::string& source = places[0];
    const std::string& target = places[1];
    for (const std::string& place : places) {
        const QFileInfo info(QFile::decodeName(place.c_str()));
        if (!IsServer(place) && (info.exists() || info.isSymLink()) && !info.isDir()) {
            std::fprintf(err, "velmora-tool: %s is not a folder (usage: velmora-tool %s)\n",
                         place.c_str(), Usage);
            return BadArguments;
        }
    }
    // Only the target is written: its folder must not change under a
    // program running on it.
    DataFolderLock lock;
    if (!IsServer(target)) {
        const QString folder = QFile::decodeName(target.c_str());
        if (!QDir().mkpath(folder)) {
            std::fprintf(err, "velmora-tool: the folder %s can not be made; nothing was copied\n",
                         target.c_str());
            return NotCopied;
        }
        if (!ArchiveCommand::Lock(lock, target, err))
            return ProgramRunning;
        if (!ArchiveCommand::Recover(folder, err))
            return RollBackFailed;
    }
    const std::unique_ptr<EngineConnection> from = Connect(source, false, err);
    if (!from)
        return NoCatalog;
    const std::unique_ptr<EngineConnection> to = Connect(target, true, err);
    if (!to)
        return NoCatalog;
    if (!replace && TCatalogCopy::HoldsRows(*to)) {
        std::fprintf(err,
                     "velmora-tool: %s holds a catalog already; give --replace to replace its "
                     "rows\n",
                     Named(target).c_str());
        return TargetHoldsRows;
    }
    try {
        TCatalogCopy::Copy(*from, *to);
    } catch (const std::exception& error) {
        std::fprintf(err, "velmora-tool: the copy failed (%s); %s is unchanged\n", error.what(),
                     Named(target).c_str());
        return NotCopied;
    }
    std::fprintf(out, "The catalog has been copied to %s\n", Named(target).c_str());
    return Copied;
}
