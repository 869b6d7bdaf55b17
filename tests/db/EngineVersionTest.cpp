// The version of the engine the program runs, and the start-up check of it.

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

class EngineOnThisMachine : public TempDatabaseTest {};

TEST_F(EngineOnThisMachine, ConnectionRunsTheLinkedEngineAndTheStartUpCheckPasses) {
    ASSERT_TRUE(database_.IsConnected());
    const EngineVersion linked = EngineVersion::Linked();
    EXPECT_EQ(linked.Text, Scalar("select sqlite_version()").toString());
    EXPECT_EQ(linked.SourceId, Scalar("select sqlite_source_id()").toString());
    EXPECT_EQ(EngineVersion::NumberOf(linked.Text), linked.Number);
    EXPECT_TRUE(TF_check_DB::EngineVersionOk());
}

} // namespace
