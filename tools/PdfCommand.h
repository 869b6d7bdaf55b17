#pragma once

#include <cstdio>
#include <string>
#include <vector>

// velmora-tool pdf DATAFOLDER OUT.pdf [--genre NAME] [--manufacturer NAME]
// [--figure KEY]: the catalog on paper as a PDF file, every figure or those
// of a genre and/or a manufacturer, in the figures list's order; with
// --figure, the sheet of that one figure instead. The catalog is read
// through a read-only connection, also while Velmora runs on the data
// folder. Exit codes: 0 done, 1 no catalog in the data folder, or no
// figure, genre or manufacturer of that key or name, 2 the file cannot be
// written, 64 bad arguments (the database itself as OUT.pdf among them).
class PdfCommand {
public:
    static constexpr const char* Usage =
        "pdf DATAFOLDER OUT.pdf [--genre NAME] [--manufacturer NAME] [--figure KEY]";
    static constexpr const char* Summary = "print the catalog, or a figure's sheet, to a PDF file";

    static int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};
