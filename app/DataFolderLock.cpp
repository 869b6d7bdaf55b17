#include "DataFolderLock.h"

#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <system_error>
#include <unistd.h>

namespace {

// FNV-1a: the same value for the same text in every build.
std::uint64_t TextHash(const std::string& text) {
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    return hash;
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

std::string DataFolderLock::PathFor(const std::string& dataFolder,
                                    const std::string& instanceLock) {
    std::string base = instanceLock;
    const std::string suffix = ".lock";
    if (base.size() >= suffix.size() &&
        base.compare(base.size() - suffix.size(), suffix.size(), suffix) == 0)
        base.resize(base.size() - suffix.size());
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx",
                  static_cast<unsigned long long>(TextHash(RealPath(dataFolder))));
    return base + "-" + hash + suffix;
}

DataFolderLock::~DataFolderLock() {
    if (fd_ >= 0)
        close(fd_);
}

bool DataFolderLock::Acquire(const std::string& dataFolder, const std::string& instanceLock) {
    if (fd_ >= 0)
        return true;
    const std::string path = PathFor(dataFolder, instanceLock);
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}
