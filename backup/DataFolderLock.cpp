#include "DataFolderLock.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>

namespace {

using FolderId = std::pair<dev_t, ino_t>;

// The folders this process holds the lock of.
std::mutex heldMutex;
std::multiset<FolderId> held;

bool IdOf(int fd, FolderId& id) {
    struct stat status {};
    if (fstat(fd, &status) != 0)
        return false;
    id = {status.st_dev, status.st_ino};
    return true;
}

int OpenFolder(const std::string& folder) {
    return open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

} // namespace

std::string DataFolderLock::ProgramDataFolder() {
    return RealPath("../LDB");
}

std::string DataFolderLock::RealPath(const std::string& folder) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path path = fs::absolute(folder, error);
    if (error)
        return folder;
    fs::path real = fs::weakly_canonical(path, error);
    if (!error)
        path = real;
    std::string text = path.lexically_normal().string();
    while (text.size() > 1 && text.back() == '/')
        text.pop_back();
    return text;
}

bool DataFolderLock::HeldHere(const std::string& folder) {
    const int fd = OpenFolder(folder);
    if (fd < 0)
        return false;
    FolderId id;
    const bool known = IdOf(fd, id);
    close(fd);
    const std::lock_guard<std::mutex> guard(heldMutex);
    return known && held.count(id) > 0;
}

DataFolderLock::~DataFolderLock() {
    Release();
}

bool DataFolderLock::Acquire(const std::string& dataFolder) {
    if (fd_ >= 0)
        return true;
    busy_ = false;
    const int fd = OpenFolder(dataFolder);
    if (fd < 0)
        return false;
    FolderId id;
    if (!IdOf(fd, id) || flock(fd, LOCK_EX | LOCK_NB) != 0) {
        busy_ = errno == EWOULDBLOCK;
        close(fd);
        return false;
    }
    fd_ = fd;
    const std::lock_guard<std::mutex> guard(heldMutex);
    held.insert(id);
    return true;
}

bool DataFolderLock::AcquireUnlessHeldHere(const std::string& dataFolder) {
    return HeldHere(dataFolder) || Acquire(dataFolder) || !Busy();
}

void DataFolderLock::Release() {
    if (fd_ < 0)
        return;
    FolderId id;
    if (IdOf(fd_, id)) {
        const std::lock_guard<std::mutex> guard(heldMutex);
        if (const auto found = held.find(id); found != held.end())
            held.erase(found);
    }
    close(fd_);
    fd_ = -1;
}
