// velmora-tool: the command-line companion of Velmora.

#include "AtlasCommand.h"
#include "BackupCommand.h"
#include "CopyCommand.h"
#include "ExportCommand.h"
#include "HtmlCommand.h"
#include "ImportCommand.h"
#include "ImportCsvCommand.h"
#include "PackCommand.h"
#include "PdfCommand.h"
#include "PictureCommand.h"
#include "RestoreCommand.h"
#include "SchemeCommand.h"
#include "StatsCommand.h"
#include "TreeCommand.h"

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <vector>

namespace {

struct Subcommand {
    const char* name;
    const char* usage;
    const char* summary;
    int (*run)(const std::vector<std::string>&, std::FILE*, std::FILE*);
};

const Subcommand Subcommands[] = {
    {"tree", TreeCommand::Usage, TreeCommand::Summary, TreeCommand::Run},
    {"backup", BackupCommand::Usage, BackupCommand::Summary, BackupCommand::Run},
    {"restore", RestoreCommand::Usage, RestoreCommand::Summary, RestoreCommand::Run},
    {"picture", PictureCommand::Usage, PictureCommand::Summary, PictureCommand::Run},
    {"scheme", SchemeCommand::Usage, SchemeCommand::Summary, SchemeCommand::Run},
    {"html", HtmlCommand::Usage, HtmlCommand::Summary, HtmlCommand::Run},
    {"pdf", PdfCommand::Usage, PdfCommand::Summary, PdfCommand::Run},
    {"pack", PackCommand::Usage, PackCommand::Summary, PackCommand::Run},
    {"import-csv", ImportCsvCommand::Usage, ImportCsvCommand::Summary, ImportCsvCommand::Run},
    {"import", ImportCommand::Usage, ImportCommand::Summary, ImportCommand::Run},
    {"export-csv", ExportCommand::CsvUsage, ExportCommand::CsvSummary, ExportCommand::RunCsv},
    {"export", ExportCommand::Usage, ExportCommand::Summary, ExportCommand::Run},
    {"stats", StatsCommand::Usage, StatsCommand::Summary, StatsCommand::Run},
    {"atlas", AtlasCommand::Usage, AtlasCommand::Summary, AtlasCommand::Run},
    {"copy", CopyCommand::Usage, CopyCommand::Summary, CopyCommand::Run},
};

void PrintHelp(std::FILE* to) {
    std::fprintf(to, "usage: velmora-tool COMMAND [ARGS]\n\ncommands:\n");
    for (const Subcommand& command : Subcommands)
        std::fprintf(to, "  %-40s %s\n", command.usage, command.summary);
    std::fprintf(
        to,
        "\nbackup and restore exit with their result code: 0 done, 1 stopped, 2 no files "
        "to back up,\n3 no archive, 4 not an archive or a damaged one, 5 a read or "
        "write error;\n6 while Velmora runs on that data folder (close it first); 7 a "
        "failed restore that\ncould not be undone (the next start finishes or undoes "
        "it); 8 the archive inside the\ndata folder; 9 an archive holding no catalog (nothing is "
        "replaced); 64 bad arguments, such as a "
        "folder for the archive or a file for the\ndata folder. Both first finish or "
        "undo a restore of the data folder that was interrupted.\n"
        "\npicture exits 0 done, 1 the picture cannot be loaded (the reason is told), "
        "2 an output\ncannot be written, 64 bad arguments. It never writes over its "
        "input, and refuses a\npicture file not ending in .jpg or .jpeg and a "
        "thumbnail file not ending in .bmp\nunless --force is given.\n"
        "\nscheme exits 0 done (the check's result is printed), 1 the file is no scheme the "
        "import\naccepts (the reason is told), 2 the file cannot be read or the bitmap cannot "
        "be\nwritten, 64 bad arguments. It never writes the bitmap over its input.\n"
        "\npack writes the packing history and exits 0 when every table was packed and the "
        "file\ncompacted, 1 when one could not be (its line tells why), 2 no catalog in the "
        "folder,\n6 while Velmora runs on that data folder, 7 an interrupted restore that could "
        "not be\nundone, 64 bad arguments.\n"
        "\nhtml exits 0 done, 1 no catalog in the data folder or no figure with that key, 2 a "
        "file or\nfolder cannot be written, 64 bad arguments. It reads the catalog only, also "
        "while Velmora\nruns on it.\n"
        "\npdf exits 0 done, 1 no catalog in the data folder, or no figure, genre or manufacturer "
        "of\nthat key or name, 2 the file cannot be written, 64 bad arguments. It reads the "
        "catalog only,\nalso while Velmora runs on it.\n"
        "\nimport-csv exits 0 when the import ran (skipped rows are named with their line), 1 "
        "when\nnothing was imported (the reason is told), 6 while Velmora runs on that data "
        "folder, 7 an\ninterrupted restore that could not be undone, 64 bad arguments.\n"
        "\nimport brings a folder's tables, or a folder written by export, into the catalog of "
        "the\ndata folder in one transaction (creating the catalog when there is none) and "
        "writes a\nsummary; it exits 0 done, 1 nothing could be imported (the reason is told), 6 "
        "while\nVelmora runs on the data folder, 64 bad arguments.\n"
        "\nexport-csv and export exit 0 done, 1 no catalog in the data folder or one that "
        "cannot be\nread, 2 a file or folder cannot be written, 64 bad arguments. They read the "
        "catalog only,\nalso while Velmora runs on it. In their CSV files an empty unquoted field "
        "is NULL and \"\"\nan empty text.\n"
        "\nstats exits 0 done, 1 no catalog in the data folder or one that cannot be read, 64 "
        "bad\narguments. It reads the catalog only, also while Velmora runs on it.\n"
        "\natlas exits 0 done, 1 no catalog in the data folder or one that cannot be read, 2 the "
        "file\ncannot be written, 64 bad arguments. It reads the catalog only, also while Velmora "
        "runs on it.\n"
        "\ncopy takes a data folder or a connection string (postgresql://...) for each side; it "
        "exits\n0 done, 1 the copy failed (the target is unchanged), 2 no catalog in the source or "
        "a\ncatalog that cannot be opened, 3 a target holding rows without --replace, 6 while "
        "Velmora\nruns on the target folder, 7 an interrupted restore that could not be undone, 64 "
        "bad\narguments.\n");
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        PrintHelp(stderr);
        return 64;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0 ||
        std::strcmp(argv[1], "help") == 0) {
        PrintHelp(stdout);
        return 0;
    }
    const std::vector<std::string> args(argv + 2, argv + argc);
    for (const Subcommand& command : Subcommands) {
        if (std::strcmp(argv[1], command.name) == 0) {
            try {
                return command.run(args, stdout, stderr);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "%s\n", e.what());
                return 70;
            }
        }
    }
    std::fprintf(stderr, "velmora-tool: unknown command '%s'\n\n", argv[1]);
    PrintHelp(stderr);
    return 64;
}
