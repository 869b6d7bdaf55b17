#include "RecoverDataFolder.h"

#include "Msg.h"
#include "TRestoreFolder.h"

#include <QDir>

namespace {

QString PreviousFiles(const QString& dataFolder) {
    return QDir::toNativeSeparators(TRestoreFolder::ScratchFolder(dataFolder) +
                                    QStringLiteral("/previous"));
}

} // namespace

bool RecoverDataFolder(const QString& dataFolder) {
    switch (TRestoreFolder::Recover(dataFolder)) {
    case TRestoreFolder::TRecovery::Nothing:
        return true;
    case TRestoreFolder::TRecovery::Finished:
        ShowMsg(QStringLiteral("An interrupted database restore has been finished"));
        return true;
    case TRestoreFolder::TRecovery::RolledBack:
        ShowMsg(QStringLiteral("An interrupted database restore has been undone"));
        return true;
    case TRestoreFolder::TRecovery::InUse:
        ShowMsg(QStringLiteral("The data folder %1 is being restored by another program; start "
                               "again when it has finished")
                    .arg(QDir::toNativeSeparators(dataFolder)));
        return false;
    case TRestoreFolder::TRecovery::Failed:
        break;
    }
    ShowMsg(QStringLiteral("An interrupted database restore could be neither finished nor "
                           "undone; the previous files of the data folder are kept in %1")
                .arg(PreviousFiles(dataFolder)));
    return false;
}

QString RestoreNotRolledBackMessage(const QString& dataFolder) {
    return QStringLiteral("Database restore error: the data folder could not be put back as it "
                          "was; its previous files are kept in %1 until the next start finishes "
                          "or undoes the restore")
        .arg(PreviousFiles(dataFolder));
}
