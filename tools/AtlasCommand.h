#pragma once

#include <cstdio>
#include <string>
#include <vector>

// velmora-tool atlas DATAFOLDER OUT.png|OUT.svg [--size WxH]: the atlas of
// the catalog's genres as the program's page draws it, written as a PNG
// picture or an SVG drawing of the size asked (1600x900 unless told). The
// catalog is read through a read-only connection, also while Velmora runs
// on the data folder. Exit codes: 0 done, 1 no catalog in the data folder
// or one that cannot be read, 2 the file cannot be written, 64 bad
// arguments.
class AtlasCommand {
public:
    static constexpr const char* Usage = "atlas DATAFOLDER OUT.png|OUT.svg [--size WxH]";
    static constexpr const char* Summary = "draw the genres on the world map and the time line";

    static int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};
