#include "SingleInstanceLock.h"

#include "PgConnection.h"

#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <unistd.h>
#include <utility>

std::string SingleInstanceLock::RuntimePath(const std::string& extension) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime && *runtime)
        return std::string(runtime) + "/velmora" + extension;
    return "/tmp/velmora-" + std::to_string(getuid()) + extension;
}

std::string SingleInstanceLock::KeyHash(const std::string& text) {
    // FNV-1a.
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : text) {
        hash ^= c;
        hash *= 1099511628211ull;
    }
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(hash));
    return digits;
}

std::string SingleInstanceLock::ServerKey(const std::string& conninfo) {
    return "server\nuser=" + std::to_string(getuid()) + '\n' +
           PgConnection::ServerKey(QString::fromStdString(conninfo)).toStdString();
}

std::string SingleInstanceLock::ServerLockFolder(const std::string& conninfo) {
    return RuntimePath("-server-" + KeyHash(ServerKey(conninfo)));
}

SingleInstanceLock::SingleInstanceLock(std::string dataFolder)
    : dataFolder_(std::move(dataFolder)) {}

bool SingleInstanceLock::Acquire() {
    if (lock_.Held())
        return true;
    const std::string folder =
        dataFolder_.empty() ? DataFolderLock::ProgramDataFolder() : dataFolder_;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    return lock_.Acquire(folder) || !lock_.Busy();
}
