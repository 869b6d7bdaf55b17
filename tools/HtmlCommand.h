#pragma once

#include <cstdio>
#include <string>
#include <vector>

// velmora-tool html DATAFOLDER OUTDIR [--title TEXT] [--figure KEY]
// [--no-map]: publishes the catalog as the program's "Publish catalog…"
// does (SitePublisher), or with --figure writes the page, picture and genre
// map the export dialog writes for that figure alone, the page into OUTDIR
// and its pictures into OUTDIR/images. The catalog is
// read through a read-only connection, also while Velmora runs on the data
// folder. Exit codes: 0 done, 1 no catalog in the data folder or no figure
// with that key, 2 a file or folder cannot be written, 64 bad arguments.
class HtmlCommand {
public:
    static constexpr const char* Usage =
        "html DATAFOLDER OUTDIR [--title TEXT] [--figure KEY] [--no-map]";
    static constexpr const char* Summary = "publish the catalog as a web site";

    static int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};
