#pragma once

#include <cstdio>
#include <string>
#include <vector>

// velmora-tool export-csv DATAFOLDER OUTDIR and velmora-tool export
// DATAFOLDER OUTDIR: the catalog in open forms (CatalogExport). export-csv
// writes figures.csv, manufacturers.csv, genres.csv and the pictures; export
// writes everything the catalog holds, add_pictures.csv, scales.csv and the
// manuals as well, in the form velmora-tool import reads back. The catalog
// is read through a read-only connection, also while Velmora runs on the
// data folder. Exit codes: 0 done, 1 no catalog in the data folder or one
// that cannot be read, 2 a file or folder cannot be written, 64 bad
// arguments.
class ExportCommand {
public:
    static constexpr const char* CsvUsage = "export-csv DATAFOLDER OUTDIR";
    static constexpr const char* CsvSummary = "write figures, manufacturers and genres as CSV";
    static constexpr const char* Usage = "export DATAFOLDER OUTDIR";
    static constexpr const char* Summary = "write the whole catalog in open forms";

    static int RunCsv(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
    static int Run(const std::vector<std::string>& args, std::FILE* out, std::FILE* err);
};
