#include "RowImporter.h"

#include "TempDatabaseTest.h"

#include <QByteArray>

namespace {

class RowImporterTest : public TempDatabaseTest {};

const QString KeyA = QStringLiteral("AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA");
const QString KeyB = QStringLiteral("BBBBBBBBBBBBBBBBBBBBBBBBBBBBBBBB");

TEST_F(RowImporterTest, AddsRowsSkipsExistingKeysAndReportsUnknownColumnsOnce) {
    {
        RowImporter first;
        ASSERT_TRUE(first.Begin());
        ASSERT_TRUE(first.Add("FIGURES", {{"FIGURE_ID", KeyA}, {"figure_name", "One"}}));
        ASSERT_TRUE(first.Commit());
    }
    RowImporter importer;
    ASSERT_TRUE(importer.Begin());
    EXPECT_FALSE(importer.Add("figures", {{"figure_id", KeyA}, {"figure_name", "Again"}}, "row 1"));
    EXPECT_TRUE(importer.Add(
        "figures",
        {{"figure_id", KeyB}, {"picture", QByteArray("\xff\xd8\x00", 3)}, {"colour", "red"}}));
    EXPECT_FALSE(importer.Add("figures", {{"figure_id", KeyB}, {"colour", "blue"}}, "row 3"));
    ASSERT_TRUE(importer.Commit());

    EXPECT_EQ(Column("select figure_name from figures order by figure_id"), "One,");
    EXPECT_EQ(Scalar("select picture from figures where figure_id='" + KeyB + "'").toByteArray(),
              QByteArray("\xff\xd8\x00", 3));
    EXPECT_EQ(importer.SummaryLines(),
              QStringList({"figures: 1 added, 2 skipped", "  unknown column colour left out",
                           "  skipped row 1: the key " + KeyA + " is already in the catalog",
                           "  skipped row 3: the key " + KeyB + " is already in the catalog"}));
}

TEST_F(RowImporterTest, RollbackLeavesTheCatalogAsItWas) {
    RowImporter importer;
    ASSERT_TRUE(importer.Begin());
    ASSERT_TRUE(importer.Add("producers", {{"producer_id", KeyA}, {"producer_name", "Maker"}}));
    importer.Rollback();
    EXPECT_EQ(Scalar("select count(*) from producers").toInt(), 0);
}

} // namespace
