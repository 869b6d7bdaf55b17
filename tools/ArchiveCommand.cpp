#include "ArchiveCommand.h"

#include "SingleInstanceLock.h"
#include "TerminalProgress.h"

#include <QFile>

int ArchiveCommand::Run(const char* usage, Operation operation, const char* const (&messages)[6],
                        const std::vector<std::string>& args, std::FILE* out, std::FILE* err) {
    if (args.size() != 2 || args[0].empty() || args[1].empty() || args[0][0] == '-' ||
        args[1][0] == '-') {
        std::fprintf(err, "usage: velmora-tool %s\n", usage);
        return 64;
    }
    SingleInstanceLock lock;
    if (!lock.Acquire()) {
        std::fprintf(err, "velmora-tool: Velmora is running; close it first\n");
        return ProgramRunning;
    }
    int result = ArchiveResult::InputOutputError;
    {
        TerminalProgress progress(err);
        result =
            operation(QFile::decodeName(args[0].c_str()), QFile::decodeName(args[1].c_str()),
                      [&progress](int percent, bool& stop) { progress.Update(percent, stop); });
    }
    const bool known = result >= 0 && result <= 5;
    std::fprintf(result == 0 ? out : err, "%s\n",
                 known ? messages[result] : "velmora-tool: unexpected result");
    return result;
}
