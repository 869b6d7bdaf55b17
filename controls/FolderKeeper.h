#pragma once

#include <QString>

// Puts the process's current folder back when it goes out of scope, on
// every way out: file dialogs and the operations around them may move it.
class FolderKeeper {
public:
    FolderKeeper();
    ~FolderKeeper();
    FolderKeeper(const FolderKeeper&) = delete;
    FolderKeeper& operator=(const FolderKeeper&) = delete;

private:
    QString folder_;
};
