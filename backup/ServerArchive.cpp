#include "Archive.h"
#include "EngineConnection.h"
#include "OldTablesCatalog.h"
#include "TArchiveUnpacker.h"
#include "TCatalogCopy.h"
#include "TDatabase.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <exception>
#include <memory>
#include <vector>

namespace {

QString ScratchTemplate() {
    return QDir::tempPath() + QStringLiteral("/velmora-server-XXXXXX");
}

int Restore(const QString& archiveFile, EngineConnection& server, const TArchiveProgress& progress,
            QString& fault, const TImportOldTables& importOld) {
    if (archiveFile.isEmpty()) {
        fault = QStringLiteral("no archive file has been chosen");
        return ArchiveResult::NoArchive;
    }
    if (!QFileInfo::exists(archiveFile)) {
        fault = QStringLiteral("the archive %1 does not exist")
                    .arg(QDir::toNativeSeparators(archiveFile));
        return ArchiveResult::NoArchive;
    }
    TArchiveUnpacker unpacker(progress);
    if (const int result = unpacker.Open(archiveFile)) {
        fault = unpacker.Fault();
        return result;
    }
    const QTemporaryDir scratch(ScratchTemplate());
    if (!scratch.isValid()) {
        fault = QStringLiteral("no scratch folder can be made in %1").arg(QDir::tempPath());
        return ArchiveResult::InputOutputError;
    }
    if (const int result = unpacker.UnpackInto(scratch.path())) {
        fault = unpacker.Fault();
        return result;
    }
    QStringList names = unpacker.Names();
    std::vector<std::int64_t> sizes = unpacker.Sizes();
    fault = OldTablesCatalog::Restorable(scratch.path(), names, sizes, importOld);
    if (!fault.isEmpty())
        return ArchiveResult::NoCatalog;
    QString error;
    const std::unique_ptr<EngineConnection> catalog = EngineConnection::OpenFile(
        scratch.path() + QLatin1Char('/') + QString::fromLatin1(TDatabase::FileNameInFolder),
        EngineConnection::OpenMode::ReadWrite, &error);
    if (!catalog) {
        fault = QStringLiteral("the archive's catalog can not be opened (%1)").arg(error);
        return ArchiveResult::NoCatalog;
    }
    try {
        TCatalogCopy::Copy(*catalog, server);
    } catch (const std::exception& failure) {
        fault = QStringLiteral("the catalog on the server could not take the archive's rows (%1)")
                    .arg(QString::fromUtf8(failure.what()));
        return ArchiveResult::InputOutputError;
    }
    return ArchiveResult::Done;
}

} // namespace

int PackServer(EngineConnection& server, const QString& archiveFile,
               const TArchiveProgress& progress, QString& fault) {
    fault.clear();
    try {
        const QTemporaryDir scratch(ScratchTemplate());
        const QString folder = scratch.path() + QStringLiteral("/catalog");
        if (!scratch.isValid() || !QDir().mkdir(folder)) {
            fault = QStringLiteral("no scratch folder can be made in %1").arg(QDir::tempPath());
            return ArchiveResult::InputOutputError;
        }
        const QString failure = server.CopyInto(folder + QLatin1Char('/') +
                                                QString::fromLatin1(TDatabase::FileNameInFolder));
        if (!failure.isEmpty()) {
            fault = QStringLiteral("the catalog can not be copied (%1)").arg(failure);
            return ArchiveResult::InputOutputError;
        }
        return PackFolder(folder, archiveFile, progress, fault);
    } catch (...) {
        return ArchiveResult::InputOutputError;
    }
}

int UnpackIntoServer(const QString& archiveFile, EngineConnection& server,
                     const TArchiveProgress& progress, QString& fault,
                     const TImportOldTables& importOld) {
    fault.clear();
    try {
        const int result = Restore(archiveFile, server, progress, fault, importOld);
        if (result == ArchiveResult::Done)
            fault.clear();
        else if (fault.isEmpty())
            fault = QStringLiteral("the restore failed");
        return result;
    } catch (...) {
        fault = QStringLiteral("an unexpected error");
        return ArchiveResult::InputOutputError;
    }
}
