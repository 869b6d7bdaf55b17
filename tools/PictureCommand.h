#pragma once

#include <cstdio>
#include <string>
#include <vector>

// velmora-tool picture IN OUT.jpg [--thumbnail OUT.bmp] [--force]: loads a
// picture file as the program's picture loader does and writes its stored
// picture form (JPEG) and, when asked, a 123 × 123 thumbnail in the stored
// thumbnail form (BMP) stretched from the whole picture. An output is never
// written over the input, and must end in .jpg or .jpeg (picture) and .bmp
// (thumbnail) unless --force is given. Exit codes: 0 done, 1 the picture
// cannot be loaded (the loader's reason is told), 2 an output file cannot be
// written, 64 bad arguments or a refused output.
class PictureCommand {
public:
    static constexpr const char* Usage = "picture IN OUT.jpg [--thumbnail OUT.bmp] [--force]";
    static constexpr const char* Summary =
        "load a picture file and write the stored picture (and thumbnail)";

    static int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};
