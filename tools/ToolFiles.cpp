#include "ToolFiles.h"

#include "WholeFile.h"

#include <QFile>

#include <filesystem>
#include <system_error>

bool WriteBytes(const std::string& fileName, const QByteArray& bytes) {
    return WriteWholeFile(QFile::decodeName(fileName.c_str()), bytes);
}

bool SameFile(const std::string& a, const std::string& b) {
    namespace fs = std::filesystem;
    std::error_code error;
    if (fs::equivalent(a, b, error) && !error)
        return true;
    std::error_code errorA;
    std::error_code errorB;
    const fs::path pathA = fs::weakly_canonical(fs::absolute(a), errorA);
    const fs::path pathB = fs::weakly_canonical(fs::absolute(b), errorB);
    return !errorA && !errorB && pathA == pathB;
}
