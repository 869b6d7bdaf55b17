#pragma once

#include <string>
#include <vector>

// What the program's command line asks for: its help, its version, or a
// start in a working folder. The catalog lives in ../LDB beside that folder.
// Without --workdir the folder is $VELMORA_HOME/bin, or ~/Velmora/bin, so a
// start from the desktop menu (or from any other folder) finds the same
// catalog. --catalog opens a catalog on a database server instead.
class StartOptions {
public:
    enum class Action { Run, Help, Version, Error };

    static const char* const Usage;

    // args without the program name; home and velmoraHome are the values of
    // HOME and VELMORA_HOME (null when not set). Options of one dash are the
    // toolkit's and are left to it; other words are files and are kept.
    static StartOptions Parse(const std::vector<std::string>& args, const char* home,
                              const char* velmoraHome);

    Action action = Action::Run;
    std::string workdir;        // the folder to work in, for Run
    bool createWorkdir = false; // the default folder is made when missing
    // A database server's catalog for this run (a libpq connection
    // string); empty for the catalog chosen in the program.
    std::string catalog;
    std::vector<std::string> files;
    std::string error; // what was wrong, for Error
};
