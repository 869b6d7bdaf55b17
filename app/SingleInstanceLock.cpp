#include "SingleInstanceLock.h"

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
