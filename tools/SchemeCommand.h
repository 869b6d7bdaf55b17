#pragma once

#include <cstdio>
#include <string>
#include <vector>

// velmora-tool scheme FILE.APSH [--bmp OUT.bmp]: reads a scheme file as the
// manual window's import does, prints the scheme check's result ("No errors
// found" or what the check found) and, when asked, writes the scheme's
// bitmap as the export to a .BMP file does, VERSION set. The bitmap is never
// written over the input. Exit codes: 0 done, 1 the file is no scheme the
// import accepts (the import's message or the reader's error is told), 2 the
// file cannot be read or the bitmap cannot be written, 64 bad arguments.
class SchemeCommand {
public:
    static constexpr const char* Usage = "scheme FILE.APSH [--bmp OUT.bmp]";
    static constexpr const char* Summary =
        "check a scheme file as the import does and write its bitmap";

    static int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};
