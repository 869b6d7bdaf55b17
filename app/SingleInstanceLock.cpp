#include "SingleInstanceLock.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

std::string SingleInstanceLock::RuntimePath(const std::string& extension) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/velmora" + extension;
    return "/tmp/velmora-" + std::to_string(getuid()) + extension;
}

std::string SingleInstanceLock::DefaultPath() {
    return RuntimePath(".lock");
}

SingleInstanceLock::SingleInstanceLock(std::string path) : path_(std::move(path)) {}

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0)
        close(fd_);
}

bool SingleInstanceLock::Acquire() {
    if (fd_ >= 0)
        return true;
    const int fd = open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) {
        std::fprintf(stderr, "velmora: cannot open the lock file %s: %s\n", path_.c_str(),
                     std::strerror(errno));
        return false;
    }
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    // The data folder in use, for velmora-tool to refuse that folder only.
    if (!dataFolder_.Acquire(DataFolderLock::ProgramDataFolder(), path_)) {
        close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}
