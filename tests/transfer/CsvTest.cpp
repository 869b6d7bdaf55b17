#include "CsvReader.h"
#include "CsvWriter.h"

#include <QBuffer>

#include <gtest/gtest.h>

namespace {

struct FieldCase {
    CsvField field;
    QByteArray written;
};

TEST(CsvTest, WritesEachFieldSoThatItReadsBack) {
    const FieldCase cases[] = {
        {CsvField(), ""},
        {QByteArray(""), "\"\""},
        {QByteArray("plain"), "plain"},
        {QByteArray("a,b"), "\"a,b\""},
        {QByteArray("say \"hi\""), "\"say \"\"hi\"\"\""},
        {QByteArray("two\r\nlines"), "\"two\r\nlines\""},
        {QByteArray(" padded"), "\" padded\""},
        {QByteArray("Пётр"), "Пётр"},
    };
    for (const FieldCase& c : cases) {
        EXPECT_EQ(CsvWriter::Encode(c.field), c.written) << c.written.toStdString();
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        CsvWriter writer(buffer);
        ASSERT_TRUE(writer.WriteRecord({c.field, QByteArray("x")}));
        EXPECT_EQ(bytes, c.written + ",x\r\n");
        QString error;
        const QList<CsvRecord> records = CsvReader::ReadAll(bytes, ',', &error);
        ASSERT_EQ(records.size(), 1) << c.written.toStdString();
        EXPECT_EQ(records[0].fields, QList<CsvField>({c.field, QByteArray("x")}))
            << c.written.toStdString();
    }
}

TEST(CsvTest, ReportsTheLineEachRecordStartsOnWhetherFieldsAreCopiedOrViews) {
    const QByteArray bytes = "\xEF\xBB\xBF"
                             "h1;h2\r\n"
                             "\"a\nb\";c\n"
                             "\n"
                             "d;\"e\"\"\"\r"
                             "\"x\r\ny\rz\"tail;\"\"\n"
                             "f";
    for (const auto fields : {CsvReader::Fields::Copied, CsvReader::Fields::ViewsOfTheBytes}) {
        QString error;
        const QList<CsvRecord> records = CsvReader::ReadAll(bytes, ';', &error, fields);
        EXPECT_TRUE(error.isEmpty());
        ASSERT_EQ(records.size(), 5);
        EXPECT_EQ(records[0].line, 1);
        EXPECT_EQ(records[0].fields[0], QByteArray("h1"));
        EXPECT_EQ(records[1].line, 2);
        EXPECT_EQ(records[1].fields, QList<CsvField>({QByteArray("a\nb"), QByteArray("c")}));
        EXPECT_EQ(records[2].line, 5);
        EXPECT_EQ(records[2].fields, QList<CsvField>({QByteArray("d"), QByteArray("e\"")}));
        EXPECT_EQ(records[3].line, 6);
        EXPECT_EQ(records[3].fields,
                  QList<CsvField>({QByteArray("x\r\ny\rztail"), QByteArray("")}));
        EXPECT_EQ(records[4].line, 9);
        EXPECT_EQ(records[4].fields, QList<CsvField>({QByteArray("f")}));
    }
}

TEST(CsvTest, NamesTheLineOfAQuoteLeftOpen) {
    QString error;
    const QList<CsvRecord> records = CsvReader::ReadAll("a,b\r\nc,\"d\r\ne", ',', &error);
    EXPECT_EQ(records.size(), 1);
    EXPECT_EQ(error, QStringLiteral("Line 2: a quoted field is not closed"));
}

struct LargeCase {
    const char* name;
    // Put in a large file a little before its middle, then the records
    // that fill it past the middle, then the end.
    QByteArray middle;
    QByteArray filler;
    QByteArray end;
};

TEST(CsvTest, ReadsALargeFileAsRecordByRecord) {
    const LargeCase cases[] = {
        {"regular", "", "7,\"z\"\r\n", ""},
        {"a quoted field across the middle",
         "9,\"a\r\n\"\"b\"\"\n" + QByteArray(100000, '\n') + "c\"\r\n", "7,\"z\"\r\n", ""},
        {"a quote inside an unquoted field", "9,a\"b\r\n", "5,\"p\nq\"\r\n", ""},
        {"a quote left open", "", "7,\"z\"\r\n", "9,\"open\r\n"},
    };
    for (const LargeCase& c : cases) {
        QByteArray bytes;
        for (int row = 0; bytes.size() < 600000; ++row)
            bytes += QByteArray::number(row) + ",\"x,\"\"y\"\"\"\r\n\n";
        bytes += c.middle;
        while (bytes.size() < 1300000)
            bytes += c.filler;
        bytes += c.end + "8,last\r\n";

        QString error;
        const QList<CsvRecord> records = CsvReader::ReadAll(bytes, ',', &error);
        CsvReader reader(bytes);
        QList<CsvRecord> expected;
        for (CsvRecord record; reader.Next(record);)
            expected.append(record);
        EXPECT_EQ(error, reader.Error()) << c.name;
        ASSERT_EQ(records.size(), expected.size()) << c.name;
        for (qsizetype i = 0; i < records.size(); ++i) {
            ASSERT_EQ(records[i].line, expected[i].line) << c.name << " record " << i;
            ASSERT_EQ(records[i].fields, expected[i].fields) << c.name << " record " << i;
        }
    }
}

} // namespace
