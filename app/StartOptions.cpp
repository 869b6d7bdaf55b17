#include "StartOptions.h"

const char* const StartOptions::Usage =
    "usage: velmora [--workdir DIR] [FILE...]\n"
    "\n"
    "Velmora, a desktop catalog for collectors of miniature figures. The catalog is\n"
    "../LDB/velmora.db beside the working folder.\n"
    "\n"
    "options:\n"
    "  --workdir DIR  work in DIR (\".\" for the current folder); without it Velmora\n"
    "                 works in $VELMORA_HOME/bin, or ~/Velmora/bin, creating it\n"
    "  --version      print the version and exit\n"
    "  --help         print this help and exit\n"
    "\n"
    "Exit codes: 0 done, 1 the working folder cannot be used, 64 bad arguments.\n";

namespace {

// $VELMORA_HOME/bin, or ~/Velmora/bin; the current folder without a home.
std::string DefaultWorkdir(const char* home, const char* velmoraHome) {
    if (velmoraHome && *velmoraHome)
        return std::string(velmoraHome) + "/bin";
    if (home && *home)
        return std::string(home) + "/Velmora/bin";
    return std::string(".");
}

} // namespace

StartOptions StartOptions::Parse(const std::vector<std::string>& args, const char* home,
                                 const char* velmoraHome) {
    StartOptions options;
    bool workdirGiven = false;
    const auto fail = [&options](const std::string& reason) {
        options.action = Action::Error;
        options.error = reason;
        return options;
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h")
            options.action = Action::Help;
        else if (arg == "--version")
            options.action = Action::Version;
        else if (arg == "--workdir" || arg.rfind("--workdir=", 0) == 0) {
            std::string folder;
            if (arg == "--workdir") {
                if (i + 1 >= args.size())
                    return fail("--workdir needs a folder");
                folder = args[++i];
            } else {
                folder = arg.substr(10);
            }
            if (folder.empty())
                return fail("--workdir needs a folder");
            options.workdir = folder;
            workdirGiven = true;
        } else if (arg == "--") {
            options.files.insert(options.files.end(), args.begin() + i + 1, args.end());
            break;
        } else if (arg.rfind("--", 0) == 0)
            return fail("unknown option " + arg);
        else if (arg.size() > 1 && arg[0] == '-')
            continue;
        else
            options.files.push_back(arg);
    }
    if (options.action != Action::Run || workdirGiven)
        return options;
    options.workdir = DefaultWorkdir(home, velmoraHome);
    options.createWorkdir = true;
    return options;
}
