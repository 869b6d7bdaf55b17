// Bringing a spreadsheet of 100,000 figures (text only) into an empty
// catalog through the import, against the sqlite3 shell's .import of the
// same file into a plain table, in the same run. Each iteration starts from
// an empty database file; reading and splitting the file is timed on both
// sides.

#include "CsvImport.h"
#include "CsvImportFile.h"
#include "CsvImportMapping.h"
#include "DatabaseStructure.h"
#include "RatioReporter.h"
#include "TDatabase.h"
#include "TQuery.h"
#include "TTable.h"
#include "TZunPigger.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>

namespace {

constexpr int Rows = 100000;

TDatabase* Database = nullptr;
QString CsvFile;
QString OursFolder;
QString ReferenceFile;

QByteArray SpreadsheetBytes() {
    const char* types[] = {"cavalry", "infantry", "mini diorama", "other type"};
    const char* scales[] = {"15-mm", "20-mm", "54-mm", "70-mm", "90-mm", "120-mm"};
    const char* words[] = {"red",    "dolman", "shako", "\"plume\"",
                           "sabre,", "horse",  "Гусар", "bearskin"};
    std::mt19937 random(21);
    QByteArray bytes = "figure_name,producer_name,genre_name,type_ci,scale,sculpter_name,"
                       "painter_name,figure_dsc\r\n";
    for (int row = 0; row < Rows; ++row) {
        QByteArray description;
        for (int w = 0; w < 12; ++w)
            description += QByteArray(words[random() % 8]) + ' ';
        description.replace("\"", "\"\"");
        bytes += "Figure " + QByteArray::number(row) + ",Maker " +
                 QByteArray::number(random() % 50) + ",Era " + QByteArray::number(random() % 20) +
                 ',' + types[random() % 4] + ',' + scales[random() % 6] + ",Sculptor " +
                 QByteArray::number(random() % 100) + ",Painter " +
                 QByteArray::number(random() % 100) + ",\"" + description + "\"\r\n";
    }
    return bytes;
}

void EmptyCatalog() {
    Database->Close();
    QFile::remove(QDir(OursFolder).filePath(TDatabase::FileNameInFolder));
    Database->Open();
    TZunPigger structure;
    DatabaseStructure::Build(structure);
    TTable table;
    TQuery statements;
    DatabaseStructure::Check(structure, table, statements, {});
}

void BM_CsvImport(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        EmptyCatalog();
        state.ResumeTiming();
        CsvImportFile file;
        if (!file.Load(CsvFile)) {
            state.SkipWithError("the file was not read");
            break;
        }
        const CsvImportSummary summary =
            CsvImport().Run(file, CsvImportMapping::Guess(file.Header()));
        if (summary.added != Rows)
            state.SkipWithError("not every row was imported");
    }
    Database->Close();
}

void BM_Sqlite3ShellImport(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(ReferenceFile);
        state.ResumeTiming();
        QProcess shell;
        shell.start(QStringLiteral("sqlite3"),
                    {ReferenceFile, QStringLiteral(".import --csv %1 figures").arg(CsvFile)});
        if (!shell.waitForFinished(600000) || shell.exitCode() != 0)
            state.SkipWithError("the sqlite3 shell failed");
    }
}

BENCHMARK(BM_CsvImport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_Sqlite3ShellImport)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    const QDir root(folder.path());
    root.mkdir(QStringLiteral("ours"));
    OursFolder = root.filePath(QStringLiteral("ours"));
    ReferenceFile = root.filePath(QStringLiteral("plain.db"));
    CsvFile = root.filePath(QStringLiteral("figures.csv"));
    const QByteArray bytes = SpreadsheetBytes();
    QFile csv(CsvFile);
    if (!csv.open(QIODevice::WriteOnly) || csv.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(CsvFile));
        return 1;
    }
    csv.close();

    TDatabase database(QStringLiteral("ADB"));
    Database = &database;
    database.DriverName = QStringLiteral("STANDARD");
    database.Params = {QStringLiteral("PATH=") + OursFolder};
    std::printf("%d rows of text, %lld KB\n", Rows, static_cast<long long>(bytes.size() / 1024));
    return RatioReporter::Main(
        argc, argv,
        {{"CSV import of 100,000 rows (>=1/2)", "BM_CsvImport", "BM_Sqlite3ShellImport", 0.5}});
}
