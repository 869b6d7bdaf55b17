// A statement of the program on a PostgreSQL server against the same work
// done with libpq directly: reading the text columns of 10,000 rows, and
// inserting one row with a 200 KB picture. The server is the one the
// connection string in VELMORA_TEST_PG names (scripts/pg-server.sh starts
// one); without it nothing is measured.

#include "EngineCode.h"
#include "EngineConnection.h"
#include "EngineStatement.h"
#include "RatioReporter.h"

// Reaches PostgreSQL itself: the reference is the same work through libpq.
#include <libpq-fe.h>

#include <QByteArray>
#include <QRandomGenerator>

#include <cstdio>
#include <memory>

namespace {

constexpr int Rows = 10000;
constexpr int PictureBytes = 200 * 1024;
const char* const Select = "select name, maker, scale, remark from bench_figure";

QByteArray Conninfo() {
    return qgetenv("VELMORA_TEST_PG");
}

PGconn* Plain() {
    static PGconn* conn = [] {
        PGconn* made = PQconnectdb(Conninfo().constData());
        PQclear(PQexec(made, "set client_min_messages = warning;"
                             "drop table if exists bench_figure;"
                             "drop table if exists bench_picture;"
                             "create table bench_figure (id integer primary key, "
                             "name varchar(60), maker varchar(40), scale varchar(10), remark text);"
                             "create table bench_picture (id serial primary key, "
                             "name varchar(60), picture bytea)"));
        PQclear(PQexec(made, "insert into bench_figure select i, 'Figure ' || i, 'Maker ' || "
                             "(i % 50), '1:' || (i % 72), repeat('remark ', 8) "
                             "from generate_series(1, 10000) i"));
        return made;
    }();
    return conn;
}

EngineConnection& Ours() {
    static std::unique_ptr<EngineConnection> db = [] {
        Plain();
        QString error;
        return EngineConnection::OpenServer(QString::fromUtf8(Conninfo()), &error);
    }();
    return *db;
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

bool Skipped(benchmark::State& state) {
    if (!Conninfo().isEmpty())
        return false;
    state.SkipWithError("VELMORA_TEST_PG is not set: no PostgreSQL server to measure");
    return true;
}

void BM_EngineSelectText(benchmark::State& state) {
    if (Skipped(state))
        return;
    EngineConnection& db = Ours();
    for (auto _ : state) {
        std::unique_ptr<EngineStatement> statement;
        db.Prepare(Select, &statement, nullptr);
        qsizetype bytes = 0;
        while (statement->Step() == EngineCode::Row)
            for (int column = 0; column < 4; ++column)
                bytes += statement->ColumnData(column).size();
        benchmark::DoNotOptimize(bytes);
    }
}

void BM_LibpqSelectText(benchmark::State& state) {
    if (Skipped(state))
        return;
    PGconn* conn = Plain();
    for (auto _ : state) {
        PGresult* result = PQexec(conn, Select);
        qsizetype bytes = 0;
        for (int row = 0; row < PQntuples(result); ++row)
            for (int column = 0; column < 4; ++column)
                bytes += PQgetlength(result, row, column);
        benchmark::DoNotOptimize(bytes);
        PQclear(result);
    }
}

void BM_EngineInsertPicture(benchmark::State& state) {
    if (Skipped(state))
        return;
    EngineConnection& db = Ours();
    for (auto _ : state) {
        std::unique_ptr<EngineStatement> statement;
        db.Prepare("insert into bench_picture (name, picture) values (:name, :picture)", &statement,
                   nullptr);
        statement->BindText(1, QStringLiteral("Figure"));
        statement->BindBlob(2, Picture(), EngineStatement::Keep::InPlace);
        if (statement->Step() != EngineCode::Done)
            state.SkipWithError("the insert failed");
    }
}

void BM_LibpqInsertPicture(benchmark::State& state) {
    if (Skipped(state))
        return;
    PGconn* conn = Plain();
    for (auto _ : state) {
        const char* values[] = {"Figure", Picture().constData()};
        const int sizes[] = {0, PictureBytes};
        const int formats[] = {0, 1};
        PGresult* result =
            PQexecParams(conn, "insert into bench_picture (name, picture) values ($1, $2)", 2,
                         nullptr, values, sizes, formats, 0);
        if (PQresultStatus(result) != PGRES_COMMAND_OK)
            state.SkipWithError("the insert failed");
        PQclear(result);
    }
}

BENCHMARK(BM_EngineSelectText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LibpqSelectText)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EngineInsertPicture)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LibpqInsertPicture)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (Conninfo().isEmpty())
        std::printf("VELMORA_TEST_PG is not set: the PostgreSQL benchmarks are skipped\n");
    return RatioReporter::Main(
        argc, argv,
        {{"select 10,000 rows' text vs libpq", "BM_EngineSelectText", "BM_LibpqSelectText", 0.5},
         {"insert a 200 KB picture vs libpq", "BM_EngineInsertPicture", "BM_LibpqInsertPicture",
          0.5}});
}
