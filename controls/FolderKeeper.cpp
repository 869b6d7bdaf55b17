#include "FolderKeeper.h"

#include <QDir>

FolderKeeper::FolderKeeper() : folder_(QDir::currentPath()) {}

FolderKeeper::~FolderKeeper() {
    QDir::setCurrent(folder_);
}
