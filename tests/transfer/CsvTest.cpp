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

} // namespace
