#pragma once

#include <cstdio>
#include <string>
#include <vector>

// velmora-tool picture IN OUT.jpg [--thumbnail OUT.bmp]: loads a picture
// file as the program's picture loader does and writes its stored picture
// form (JPEG) and, when asked, a 123 × 123 thumbnail in the stored thumbnail
// form (BMP) stretched from the whole picture. Exit codes: 0 done, 1 the
// picture cannot be loaded, 2 an output file cannot be written, 64 bad
// arguments.
class PictureCommand {
public:
    static constexpr const char* Usage = "picture IN OUT.jpg [--thumbnail OUT.bmp]";
    static constexpr const char* Summary =
        "load a picture file and write the stored picture (and thumbnail)";

    static int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};
