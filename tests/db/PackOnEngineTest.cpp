// Packing the catalog's tables on each engine.

#include "TZunPigger.h"
#include "TablePacker.h"
#include "TempDatabaseTest.h"

namespace {

class PackOnEngineTest : public OnEveryEngine<TempDatabaseTest> {};

TEST_P(PackOnEngineTest, WritesTheSameHistoryAndPacksEveryTable) {
    TZunPigger root;
    DatabaseStructure::Build(root);
    DatabaseStructure::Check(root, *database_.Handle(), {});
    Exec(QStringLiteral("insert into genres (genre_id, genre_name) values ('g', 'Knights')"));
    QStringList history;
    EXPECT_TRUE(
        TablePacker(database_.DatabaseName()).Pack([&](const QString& line) { history << line; }));
    EXPECT_EQ((QStringList{"--- Primary keys checking and tables packing ---", "  Genres...",
                           "  Producers...", "  Figures...", "  Additional images..."}),
              history);
    EXPECT_EQ("Knights", Column(QStringLiteral("select genre_name from genres")));
    if (OnServer()) {
        EXPECT_EQ("4", Column(QStringLiteral("select count(*) from pg_stat_user_tables where "
                                             "schemaname = '%1' and last_vacuum is not null and "
                                             "last_analyze is not null")
                                  .arg(schema_)));
    }
}

VELMORA_ON_EVERY_ENGINE(PackOnEngineTest);

} // namespace
