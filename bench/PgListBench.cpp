// The figures list and the saving of a figure on a PostgreSQL server, as the
// program does them, against the same work through libpq directly: opening
// the list of 10,000 figures (its own query, as the main window opens it,
// and the first page of panels' text) against one select of the list's text
// columns, and saving a new figure with a 200 KB picture (the row, then its
// picture, in one transaction, as the figure editor saves) against one
// insert of the same row. The server is the one VELMORA_TEST_PG names
// (scripts/pg-server.sh starts one); without it nothing is measured.

#include "DatabaseStructure.h"
#include "RatioReporter.h"
#include "TDatabase.h"
#include "TField.h"
#include "TO_Figures.h"
#include "TQuery.h"
#include "TSqlStatement.h"
#include "TZunPigger.h"

// Reaches PostgreSQL itself: the reference is the same work through libpq.
#include <libpq-fe.h>

#include <QApplication>
#include <QRandomGenerator>
#include <QUuid>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int FigureCount = 10000;
constexpr int PictureBytes = 200 * 1024;
const char* const Schema = "bench_list";

const char* const ListText =
    "select f.figure_id, f.figure_name, f.producer_id, f.genre_id, f.type_ci, f.scale, "
    "f.sculpter_name, f.painter_name, p.producer_name, g.genre_name, c.collection_status "
    "from figures f "
    "left outer join producers p on (f.producer_id = p.producer_id) "
    "left outer join genres g on (f.genre_id = g.genre_id) "
    "left outer join figure_collection c on (f.figure_id = c.figure_id) "
    "order by f.figure_name";

QByteArray Conninfo() {
    return qgetenv("VELMORA_TEST_PG");
}

// The server's connection string with the benchmark's schema as search path.
QByteArray InSchema() {
    const QByteArray server = Conninfo();
    if (server.contains("://"))
        return server + (server.contains('?') ? "&" : "?") + "options=-csearch_path%3D" + Schema;
    return server + " options='-csearch_path=" + Schema + "'";
}

void Run(PGconn* conn, const char* sql) {
    PGresult* result = PQexec(conn, sql);
    if (PQresultStatus(result) != PGRES_COMMAND_OK && PQresultStatus(result) != PGRES_TUPLES_OK) {
        std::fprintf(stderr, "%s\n%s\n", sql, PQerrorMessage(conn));
        std::exit(1);
    }
    PQclear(result);
}

PGconn* Plain() {
    static PGconn* conn = [] { return PQconnectdb(InSchema().constData()); }();
    return conn;
}

const QByteArray& Picture() {
    static const QByteArray picture = [] {
        QByteArray bytes(PictureBytes, Qt::Uninitialized);
        QRandomGenerator generator(7);
        for (char& byte : bytes)
            byte = static_cast<char>(generator.bounded(256));
        return bytes;
    }();
    return picture;
}

// The catalog's tables in a schema of their own, with 50 manufacturers, 30
// genres and the figures, each with a small thumbnail.
void MakeCatalog(TDatabase& database) {
    PGconn* admin = PQconnectdb(Conninfo().constData());
    Run(admin, (QByteArray("set client_min_messages = warning; drop schema if exists ") + Schema +
                " cascade; create schema " + Schema)
                   .constData());
    PQfinish(admin);
    database.Open();
    TZunPigger structure;
    DatabaseStructure::Build(structure);
    DatabaseStructure::Check(structure, *database.Handle(), {});
    PGconn* conn = Plain();
    Run(conn, "insert into producers (producer_id, producer_name) select 'P' || i, 'Maker ' || i "
              "from generate_series(1, 50) i");
    Run(conn, "insert into genres (genre_id, genre_name) select 'G' || i, 'Genre ' || i "
              "from generate_series(1, 30) i");
    Run(conn, "insert into figures (figure_id, figure_name, producer_id, genre_id, type_ci, "
              "scale, sculpter_name, painter_name, picture_th) "
              "select 'F' || i, 'Figure ' || i, 'P' || (i % 50), 'G' || (i % 30), 'infantry', "
              "'54-mm', 'Sculptor ' || (i % 40), 'Painter ' || (i % 20), "
              "decode(repeat(to_hex(i % 256), 1024), 'hex') from generate_series(1, 10000) i");
    Run(conn, "analyze");
}

bool Skipped(benchmark::State& state) {
    if (!Conninfo().isEmpty())
        return false;
    state.SkipWithError("VELMORA_TEST_PG is not set: no PostgreSQL server to measure");
    return true;
}

// The figures list as the main window sets it up, open.
struct FiguresList {
    TO_Figures list;

    FiguresList() {
        list.KeyField = QStringLiteral("figure_id");
        list.NameField = QStringLiteral("figure_name");
        list.Q1.SQL = TO_Figures::FilteredQuery(QString());
        list.Reopen();
    }
};

void BM_ServerOpenFiguresList(benchmark::State& state) {
    if (Skipped(state))
        return;
    long long characters = 0;
    for (auto _ : state) {
        FiguresList figures;
        for (int row = 0; row < 8; ++row) {
            for (const char* column : {"figure_name", "genre_name", "scale", "producer_name"})
                characters += figures.list.RowText(row, QString::fromLatin1(column)).size();
        }
        if (figures.list.Q1.RecordCount() != FigureCount)
            state.SkipWithError("wrong row count");
    }
    benchmark::DoNotOptimize(characters);
}

void BM_LibpqListText(benchmark::State& state) {
    if (Skipped(state))
        return;
    PGconn* conn = Plain();
    for (auto _ : state) {
        PGresult* result = PQexec(conn, ListText);
        long long bytes = 0;
        for (int row = 0; row < PQntuples(result); ++row)
            for (int column = 0; column < PQnfields(result); ++column)
                bytes += PQgetlength(result, row, column);
        if (PQntuples(result) != FigureCount)
            state.SkipWithError("wrong row count");
        benchmark::DoNotOptimize(bytes);
        PQclear(result);
    }
}

QString NewKey() {
    return QUuid::createUuid().toString(QUuid::Id128).left(32);
}

void BM_ServerSaveFigure(benchmark::State& state) {
    if (Skipped(state))
        return;
    FiguresList figures;
    TQuery& record = figures.list.Q1;
    // The figure editor's query of the picture and its update.
    TUpdateSQL pictureUpdate{
        {},
        {"update figures", "set", "  picture = :picture", "where", "  figure_id = :OLD_figure_id"},
        {}};
    TQuery picture;
    picture.SQL = {"select figure_id, picture from figures ", "where figure_id=:_id"};
    picture.UpdateObject = &pictureUpdate;
    for (auto _ : state) {
        const QString key = NewKey();
        TSqlTransaction transaction(TDatabase::Connected(QStringLiteral("ADB")).Handle(),
                                    TSqlTransaction::Lock::Immediate);
        record.Append();
        record.FieldByName(QStringLiteral("figure_id")).SetAsString(key);
        record.FieldByName(QStringLiteral("figure_name")).SetAsString(QStringLiteral("Saved"));
        record.FieldByName(QStringLiteral("producer_id")).SetAsString(QStringLiteral("P1"));
        record.FieldByName(QStringLiteral("genre_id")).SetAsString(QStringLiteral("G1"));
        record.FieldByName(QStringLiteral("scale")).SetAsString(QStringLiteral("54-mm"));
        record.Post();
        picture.Close();
        picture.SetParam(QStringLiteral("_id"), key);
        picture.Open();
        picture.Edit();
        picture.FieldByName(QStringLiteral("picture")).SetAsBytes(Picture());
        picture.Post();
        transaction.Commit();
    }
}

void BM_LibpqInsertFigure(benchmark::State& state) {
    if (Skipped(state))
        return;
    PGconn* conn = Plain();
    for (auto _ : state) {
        const QByteArray key = NewKey().toLatin1();
        const char* values[] = {key.constData(),      "Saved", "P1", "G1", "54-mm",
                                Picture().constData()};
        const int sizes[] = {0, 0, 0, 0, 0, PictureBytes};
        const int formats[] = {0, 0, 0, 0, 0, 1};
        PGresult* result = PQexecParams(conn,
                                        "insert into figures (figure_id, figure_name, "
                                        "producer_id, genre_id, scale, picture) values "
                                        "($1, $2, $3, $4, $5, $6)",
                                        6, nullptr, values, sizes, formats, 0);
        if (PQresultStatus(result) != PGRES_COMMAND_OK)
            state.SkipWithError("the insert failed");
        PQclear(result);
    }
}

BENCHMARK(BM_ServerOpenFiguresList)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LibpqListText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ServerSaveFigure)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LibpqInsertFigure)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    TDatabase database(QStringLiteral("ADB"));
    if (Conninfo().isEmpty()) {
        std::printf("VELMORA_TEST_PG is not set: the PostgreSQL benchmarks are skipped\n");
    } else {
        database.Server = QString::fromUtf8(InSchema());
        MakeCatalog(database);
    }
    const int result = RatioReporter::Main(argc, argv,
                                           {{"open the figures list of 10,000 vs libpq",
                                             "BM_ServerOpenFiguresList", "BM_LibpqListText", 0.5},
                                            {"save a figure with a 200 KB picture vs libpq",
                                             "BM_ServerSaveFigure", "BM_LibpqInsertFigure", 0.5}});
    database.Close();
    return result;
}
