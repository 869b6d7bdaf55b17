#pragma once

#include <QString>

// Before the program uses the data folder: finishes, or else undoes, a
// restore into it that a crash or a power cut interrupted (see
// TRestoreFolder::Recover), and tells the user when it did. False, after
// telling the user where the folder's files are, when the restore could be
// neither finished nor undone: the folder must not be used then.
bool RecoverDataFolder(const QString& dataFolder);

// The message of a restore whose failed swap could not be undone.
QString RestoreNotRolledBackMessage(const QString& dataFolder);
