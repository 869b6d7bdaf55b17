// The program's SQLite and the one behind the toolkit's driver: telling them
// apart, and that on this machine they are one and the same.

#include "EngineVersion.h"
#include "TF_check_DB.h"
#include "TempDatabaseTest.h"

#include <gtest/gtest.h>

namespace {

TEST(EngineVersion, NumberOfAVersionTextIsSqlitesNumbering) {
    const struct {
        const char* text;
        int number;
    } cases[] = {{"3.40.1", 3040001},
                 {"3.8.11.1", 3008011},
                 {"3.45", 3045000},
                 {"3.0.0", 3000000},
                 {"", 0},
                 {"3", 0},
                 {"three.1.2", 0},
                 {"3.x.1", 0},
                 {"3.1000.0", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.number, EngineVersion::NumberOf(c.text)) << c.text;
}

TEST(EngineVersion, MismatchNamesBothLibrariesAndIsEmptyForOne) {
    const EngineVersion linked{"3.40.1", 3040001, "2022-12-28 df5c"};
    const struct {
        EngineVersion driver;
        const char* message;
    } cases[] = {
        {{"3.40.1", 3040001, "2022-12-28 df5c"}, ""},
        {{"3.39.4", 3039004, "2022-09-29 a29f"},
         "The database driver runs SQLite 3.39.4, but the program is linked with SQLite 3.40.1. "
         "Both must use one and the same SQLite library."},
        // A copy of the same version built from other sources.
        {{"3.40.1", 3040001, "2022-12-28 df5calt1"},
         "The database driver runs SQLite 3.40.1 (2022-12-28 df5calt1), but the program is "
         "linked with SQLite 3.40.1 (2022-12-28 df5c). Both must use one and the same SQLite "
         "library."},
        // The linked library's number disagrees with its text.
        {{"3.40.1", 3040000, "2022-12-28 df5c"},
         "The database driver runs SQLite 3.40.1 (2022-12-28 df5c), but the program is linked "
         "with SQLite 3.40.1 (2022-12-28 df5c). Both must use one and the same SQLite library."},
    };
    for (const auto& c : cases)
        EXPECT_EQ(QString::fromUtf8(c.message), EngineVersion::Mismatch(c.driver, linked))
            << c.driver.Text.toStdString();
}

class EngineOnThisMachine : public TempDatabaseTest {};

TEST_F(EngineOnThisMachine, DriverRunsTheLinkedSqliteAndTheStartUpCheckPasses) {
    ASSERT_TRUE(database_.IsConnected());
    const EngineVersion driver = EngineVersion::OfDriver(database_.Connection());
    const EngineVersion linked = EngineVersion::Linked();
    EXPECT_EQ(linked.Text, driver.Text);
    EXPECT_EQ(linked.Number, driver.Number);
    EXPECT_EQ(linked.SourceId, driver.SourceId);
    EXPECT_FALSE(driver.SourceId.isEmpty());
    EXPECT_TRUE(EngineVersion::Mismatch(driver, linked).isEmpty());
    EXPECT_TRUE(TF_check_DB::EngineMismatch().isEmpty());
    EXPECT_TRUE(TF_check_DB::EngineVersionOk());
}

} // namespace
