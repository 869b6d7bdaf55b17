#include "ParadoxTable.h"

#include "ParadoxFixture.h"

#include <QDate>

#include <gtest/gtest.h>

#include <functional>

namespace {

using ParadoxFixture::Column;

const std::vector<Column> Columns = {
    {"Key", ParadoxTable::Alpha, 8},        {"Note", ParadoxTable::Memo, 11},
    {"Picture", ParadoxTable::Graphic, 11}, {"Day", ParadoxTable::Date, 4},
    {"Count", ParadoxTable::Long, 4},       {"Small", ParadoxTable::Short, 2},
    {"Price", ParadoxTable::Number, 8},     {"Decimal", ParadoxTable::Bcd, 2}};

std::vector<std::vector<QVariant>> ReadAll(const ParadoxFixture::Files& files, QString* error) {
    ParadoxTable table;
    std::vector<std::vector<QVariant>> rows;
    if (!table.Open(files.table, files.blobs, error))
        return rows;
    table.ReadRecords(
        [&](const std::vector<QVariant>& row) {
            rows.push_back(row);
            return true;
        },
        error);
    return rows;
}

struct Level {
    int version;
    int codePage;
    QString text;
};

class ParadoxLevelTest : public ::testing::TestWithParam<Level> {};

TEST_P(ParadoxLevelTest, ReadsBackWhatWasWritten) {
    const Level level = GetParam();
    const QString longMemo = QString(120 * 1024, QLatin1Char('m')) + level.text;
    const QByteArray smallBlob(300, '\x7f');
    const ParadoxFixture::Rows rows = {
        {level.text, longMemo, smallBlob, QDate(1999, 12, 31), -70000, -3, -12.25, -12.25},
        {"k2", "x", QVariant(), QVariant(), 0, 7, 1234.5, 99999.99},
        {},
    };
    std::vector<ParadoxFixture::Rows::value_type> many = rows;
    for (int i = 0; i < 40; ++i) // more than one block of records
        many.push_back({QStringLiteral("n%1").arg(i), QStringLiteral("memo %1").arg(i)});

    QString error;
    const auto read =
        ReadAll(ParadoxFixture::Make(Columns, many, {level.version, level.codePage, 1}), &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    ASSERT_EQ(read.size(), many.size());
    EXPECT_EQ(read[0][0].toString(), level.text);
    EXPECT_EQ(read[0][1].toString(), longMemo);
    EXPECT_EQ(read[0][2].toByteArray(), smallBlob);
    EXPECT_EQ(read[0][3].toDate(), QDate(1999, 12, 31));
    EXPECT_EQ(read[0][4].toInt(), -70000);
    EXPECT_EQ(read[0][5].toInt(), -3);
    EXPECT_EQ(read[0][6].toDouble(), -12.25);
    EXPECT_EQ(read[0][7].toDouble(), -12.25);
    EXPECT_DOUBLE_EQ(read[1][7].toDouble(), 99999.99);
    EXPECT_EQ(read[1][1].toString(), "x");
    EXPECT_TRUE(read[1][2].isNull());
    EXPECT_EQ(read[1][4].toInt(), 0);
    EXPECT_EQ(read[1][6].toDouble(), 1234.5);
    for (const QVariant& value : read[2])
        EXPECT_TRUE(value.isNull());
    EXPECT_EQ(read[42][1].toString(), "memo 39");
}

INSTANTIATE_TEST_SUITE_P(Levels, ParadoxLevelTest,
                         ::testing::Values(Level{3, 0, QStringLiteral("Caf\u00e9")},
                                           Level{9, 1252, QStringLiteral("\u00c9t\u00e9")},
                                           Level{12, 1251, QStringLiteral("\u0424\u0438\u0433")},
                                           Level{12, 866, QStringLiteral("\u041f\u0435\u0448")}));

TEST(ParadoxTableTest, AnEmptyTableHasItsFieldsAndNoRecords) {
    ParadoxTable table;
    QString error;
    const ParadoxFixture::Files files = ParadoxFixture::Make(Columns, {});
    ASSERT_TRUE(table.Open(files.table, files.blobs, &error)) << error.toStdString();
    EXPECT_EQ(table.Fields().size(), Columns.size());
    EXPECT_EQ(table.Fields()[6].name, "Price");
    int count = 0;
    EXPECT_TRUE(table.ReadRecords([&](const auto&) { return ++count, true; }, &error));
    EXPECT_EQ(count, 0);
}

struct Damage {
    const char* what;
    std::function<void(ParadoxFixture::Files&)> apply;
    const char* message;
};

class ParadoxDamageTest : public ::testing::TestWithParam<Damage> {};

TEST_P(ParadoxDamageTest, GivesAMessage) {
    ParadoxFixture::Files files = ParadoxFixture::Make(
        Columns, {{"k", QByteArray(5000, 'a'), QByteArray(100, 'b')}}, {12, 1252, 1});
    GetParam().apply(files);
    QString error;
    ReadAll(files, &error);
    EXPECT_EQ(error.toStdString(), GetParam().message);
}

const qsizetype FirstRecord = 0x800 + 6;
const qsizetype NotePointer = FirstRecord + 8 + 1;
const qsizetype PicturePointer = NotePointer + 11;

INSTANTIATE_TEST_SUITE_P(
    Files, ParadoxDamageTest,
    ::testing::Values(
        Damage{"Short", [](auto& f) { f.table.truncate(40); },
               "the file is too short for a table header"},
        Damage{"Index", [](auto& f) { f.table[4] = 1; },
               "the file is no table (it may be an index)"},
        Damage{"Type", [](auto& f) { f.table[0x78] = 0x42; },
               "field 1 has an unknown type or size"},
        Damage{"Size", [](auto& f) { f.table[0] = 1; }, "the fields do not fill the record size"},
        Damage{"Circle", [](auto& f) { f.table[0x800] = 1; }, "the block chain runs in a circle"},
        Damage{"Block", [](auto& f) { f.table.truncate(0x810); },
               "a data block lies outside the file"},
        Damage{"NoBlobs", [](auto& f) { f.blobs.clear(); },
               "record 1, field Note: its blob file is missing"},
        Damage{"Beyond", [](auto& f) { f.table[NotePointer + 2] = 0x70; },
               "a blob block lies outside the file"},
        Damage{"Kind", [](auto& f) { f.table[PicturePointer] = static_cast<char>(0xFF); },
               "record 1, field Picture: the blob pointer leads to a block of another kind"},
        Damage{"Length", [](auto& f) { f.table[NotePointer + 5] = 0x30; },
               "record 1, field Note: the blob block and the record disagree on the length"}),
    [](const auto& test) { return std::string(test.param.what); });

} // namespace
