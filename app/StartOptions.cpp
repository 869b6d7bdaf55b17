#include "StartOptions.h"

#include <optional>

const char* const StartOptions::Usage =
    "usage: velmora [--workdir DIR] [--catalog CONNINFO] [FILE...]\n"
    "\n"
    "Velmora, a desktop catalog for collectors of miniature figures. The catalog is\n"
    "../LDB/velmora.db beside the working folder.\n"
    "\n"
    "options:\n"
    "  --workdir DIR  work in DIR (\".\" for the current folder); without it Velmora\n"
    "                 works in $VELMORA_HOME/bin, or ~/Velmora/bin, creating it\n"
    "  --catalog CONNINFO\n"
    "                 open the catalog on a database server for this run\n"
    "                 (a libpq connection string, postgresql://[user@]host[:port]/db\n"
    "                 or \"host=... dbname=...\"), instead of the one chosen last\n"
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

// The value of an option given as "--name VALUE" or "--name=VALUE", moving i
// past a separate value; nothing when args[i] is another word. A missing
// value is empty.
std::optional<std::string> ValueOf(const std::vector<std::string>& args, std::size_t& i,
                                   const std::string& name) {
    const std::string& arg = args[i];
    if (arg == name)
        return i + 1 < args.size() ? args[++i] : std::string();
    if (arg.rfind(name + "=", 0) == 0)
        return arg.substr(name.size() + 1);
    return std::nullopt;
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
        else if (const auto folder = ValueOf(args, i, "--workdir")) {
            if (folder->empty())
                return fail("--workdir needs a folder");
            options.workdir = *folder;
            workdirGiven = true;
        } else if (const auto catalog = ValueOf(args, i, "--catalog")) {
            if (catalog->empty())
                return fail("--catalog needs a connection string");
            options.catalog = *catalog;
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
