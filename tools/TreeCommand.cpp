#include "TreeCommand.h"

#include "EFileError.h"
#include "EZunPiggerError.h"
#include "TZunPigger.h"

#include <fstream>
#include <iterator>

namespace {

std::string ReadFileBytes(const std::string& fileName) {
    std::ifstream file(fileName, std::ios::binary);
    if (!file.is_open())
        throw EFileError::CannotOpen(fileName);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        throw EFileError::CannotOpen(fileName);
    return bytes;
}

} // namespace

int TreeCommand::Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    bool raw = false;
    std::string fileName;
    for (const std::string& arg : args) {
        if (arg == "--raw") {
            raw = true;
        } else if (fileName.empty() && !arg.empty() && arg[0] != '-') {
            fileName = arg;
        } else {
            std::fprintf(err, "usage: velmora-tool %s\n", Usage);
            return 64;
        }
    }
    if (fileName.empty()) {
        std::fprintf(err, "usage: velmora-tool %s\n", Usage);
        return 64;
    }

    TZunPigger document;
    try {
        if (raw)
            document.LoadFromString(ReadFileBytes(fileName));
        else
            document.LoadFromFile(fileName);
    } catch (const EZunPiggerError& e) {
        std::fprintf(err, "%s at position %d\n", e.what(), static_cast<int>(e.Position));
        return 1;
    } catch (const EFileError& e) {
        std::fprintf(err, "%s\n", e.what());
        return 2;
    }
    const std::string text = document.SaveToString();
    if (std::fwrite(text.data(), 1, text.size(), out) != text.size() || std::fflush(out) != 0) {
        std::fprintf(err, "Cannot write to standard output\n");
        return 2;
    }
    return 0;
}
