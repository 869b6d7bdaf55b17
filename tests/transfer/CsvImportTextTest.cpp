// Guessing how a spreadsheet's CSV file is written, and the first rows.

#include "CsvImportText.h"
#include "CsvImportFile.h"

#include <gtest/gtest.h>

namespace {

using Encoding = CsvImportText::Encoding;

TEST(CsvImportTextTest, GuessesTheEncodingAndDecodesIt) {
    struct Case {
        QByteArray bytes;
        Encoding encoding;
        QString text;
    };
    const Case cases[] = {
        {"\xEF\xBB\xBFname\r\nP\xC3\xA9tain", Encoding::Utf8Bom, QStringLiteral("name\r\nPétain")},
        {"name\nП\xD1\x91тр", Encoding::Utf8, QStringLiteral("name\nПётр")},
        {"plain ascii", Encoding::Utf8, QStringLiteral("plain ascii")},
        // Cyrillic words are runs of bytes 0xC0..0xFF; ё and € sit below.
        {"\xCF\xB8\xF2\xF0 \xE8 \xC3\xF3\xF1\xE0\xF0 \x88", Encoding::Windows1251,
         QStringLiteral("Пётр и Гусар €")},
        // Accented Latin letters stand alone between ASCII ones.
        {"\xC9l\xE8ve Gr\xF6\xDF"
         "e d\xE9j\xE0 \x80",
         Encoding::Windows1252, QStringLiteral("Élève Größe déjà €")},
    };
    for (const Case& c : cases) {
        const Encoding encoding = CsvImportText::GuessEncoding(c.bytes);
        EXPECT_EQ(c.encoding, encoding) << c.text.toStdString();
        EXPECT_EQ(c.text, QString::fromUtf8(CsvImportText::ToUtf8(c.bytes, encoding)));
    }
}

TEST(CsvImportTextTest, GuessesTheSeparatorThatSplitsEveryLineAlike) {
    struct Case {
        QByteArray text;
        char separator;
    };
    const Case cases[] = {
        {"name,scale\r\nHussar,54-mm\r\n", ','},
        // Decimal commas, and a comma inside quotes, do not count.
        {"name;price\r\n\"Hussar, 1812\";12,50\r\nDragoon;7,00\r\n", ';'},
        {"name\tnote\nHussar\ta;b\nDragoon\tc,d\n", '\t'},
        {"name\nHussar\n", ','},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.separator, CsvImportText::GuessSeparator(c.text)) << c.text.toStdString();
}

TEST(CsvImportTextTest, PreviewShowsTheFirstTwentyRowsUnderTheHeader) {
    QByteArray bytes = "name;scale;note\r\n";
    for (int i = 1; i <= 25; ++i)
        bytes += "Figure " + QByteArray::number(i) + ";54-mm\r\n";
    CsvImportFile file;
    ASSERT_TRUE(file.LoadBytes(bytes, QStringLiteral("/tmp")));
    EXPECT_EQ(QStringList({"name", "scale", "note"}), file.Header());
    EXPECT_EQ(25, file.Rows().size());
    const QList<QStringList> preview = file.Preview();
    ASSERT_EQ(20, preview.size());
    EXPECT_EQ(QStringList({"Figure 20", "54-mm", ""}), preview.last());
}

} // namespace
