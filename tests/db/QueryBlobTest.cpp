// Blob columns of the live query: left in the table when the rows are read,
// fetched by key when asked for, written back whole.

#include "QueryTestFixture.h"
#include "TField.h"

namespace {

QByteArray Picture(int seed, int size) {
    QByteArray bytes(size, '\0');
    for (int i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 7 + seed * 13) % 251);
    return bytes;
}

class QueryBlobTest : public OnEveryEngine<QueryTestFixture> {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        Exec("insert into producers (producer_id, producer_name) values ('P1', 'Old Guard')");
        // Names in the reverse order of the keys, so that the order of the
        // list is not the order of the table.
        for (int i = 0; i < 20; ++i)
            AddFigure(QStringLiteral("K%1").arg(i, 2, 10, QLatin1Char('0')),
                      QStringLiteral("Figure %1").arg(99 - i), Picture(i, 3000 + i),
                      i % 2 ? QStringLiteral("P1") : QStringLiteral("P9"));
        UseFiguresList(query_);
    }

    TQuery query_;
};

TEST_P(QueryBlobTest, ListReadsRowsInOrderAndBlobsOnDemandFromTheTable) {
    query_.Open();
    ASSERT_EQ(20, query_.RecordCount());
    EXPECT_EQ("K19", query_.ValueAt(0, 0).toString()) << "order by of the statement is kept";
    EXPECT_EQ("K00", query_.ValueAt(19, 0).toString());
    EXPECT_EQ("Old Guard", query_.ValueAt(0, query_.FieldIndex("producer_name")).toString());
    EXPECT_TRUE(query_.ValueAt(1, query_.FieldIndex("producer_name")).isNull())
        << "a figure whose producer is missing is still listed";
    EXPECT_TRUE(query_.IsBlobField(query_.FieldIndex("picture_th")));
    EXPECT_EQ("blob(1,5)", query_.FieldType(query_.FieldIndex("picture_th")));

    // Thumbnails changed in the table after opening show: none was read
    // with the rows.
    Exec("update figures set picture_th = ? where figure_id = 'K05'", {Picture(500, 10)});
    const int thumbnail = query_.FieldIndex("picture_th");
    EXPECT_EQ(Picture(500, 10), query_.ValueAt(14, thumbnail).toByteArray());
    EXPECT_TRUE(query_.Locate("figure_id", "K07"));
    EXPECT_EQ(Picture(7, 3007), query_.FieldByName("picture_th").AsBytes());
    EXPECT_EQ("about Figure 92", query_.FieldByName("figure_dsc").AsString());

    // Reading every thumbnail, as a grid does, keeps none of them for
    // long: a later change of the first row's thumbnail shows.
    for (int row = 0; row < query_.RecordCount(); ++row)
        EXPECT_EQ(row == 14 ? 10 : 3019 - row, query_.ValueAt(row, thumbnail).toByteArray().size());
    Exec("update figures set picture_th = ? where figure_id = 'K19'", {Picture(600, 10)});
    EXPECT_EQ(Picture(600, 10), query_.ValueAt(0, thumbnail).toByteArray());
}

TEST_P(QueryBlobTest, ModifyWritesUnreadBlobsBackAndAssignedOnesAsSet) {
    query_.Open();
    ASSERT_TRUE(query_.Locate("figure_id", "K03"));
    query_.Edit();
    query_.FieldByName("figure_id").SetAsString("K03B");
    query_.FieldByName("figure_files").SetAsString("notes.txt");
    query_.Post();
    // The row's blobs are still found under the key the table holds.
    EXPECT_EQ(Picture(3, 3003), query_.FieldByName("picture_th").AsBytes());
    query_.ApplyUpdates();

    EXPECT_EQ(Picture(3, 3003),
              Scalar("select picture_th from figures where figure_id = 'K03B'").toByteArray());
    EXPECT_EQ("notes.txt",
              Scalar("select figure_files from figures where figure_id = 'K03B'").toString());
    EXPECT_EQ(Picture(3, 3003), query_.FieldByName("picture_th").AsBytes());

    query_.Edit();
    query_.FieldByName("picture_th").SetAsBytes(Picture(42, 5));
    query_.FieldByName("figure_dsc").Clear();
    query_.Post();
    query_.ApplyUpdates();
    EXPECT_EQ(Picture(42, 5),
              Scalar("select picture_th from figures where figure_id = 'K03B'").toByteArray());
    EXPECT_TRUE(Scalar("select figure_dsc from figures where figure_id = 'K03B'").isNull());
}

TEST_P(QueryBlobTest, WithoutAKeyInTheResultBlobsAreReadWithTheRows) {
    query_.SQL = {"select figure_name, picture_th from figures where figure_id = :id;"};
    query_.SetParam("id", "K02");
    query_.Open();
    Exec("update figures set picture_th = null");
    EXPECT_EQ(Picture(2, 3002), query_.FieldByName("picture_th").AsBytes());

    // With the key, blobs are fetched with the statement's parameters.
    query_.Close();
    query_.SQL = {"select figure_id, picture_th, figure_dsc from figures where figure_id = :id"};
    query_.Open();
    Exec("update figures set picture_th = ? where figure_id = 'K02'", {QByteArray("\x01\x02")});
    EXPECT_EQ(QByteArray("\x01\x02"), query_.FieldByName("picture_th").AsBytes());
    EXPECT_EQ("about Figure 97", query_.FieldByName("figure_dsc").AsString());
}

} // namespace

VELMORA_ON_EVERY_ENGINE(QueryBlobTest);
