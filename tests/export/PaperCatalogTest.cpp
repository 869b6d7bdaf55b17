// The catalog on paper and a figure's sheet, written as PDF files and read
// back with poppler's tools.

#include "PaperCatalog.h"
#include "BmpWriter.h"
#include "FigureSheet.h"
#include "PaperFigureReader.h"
#include "PdfFile.h"
#include "PdfText.h"
#include "QueryTestFixture.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

class PaperCatalogTest : public QueryTestFixture {
protected:
    QString Print(PaperFigureReader&& figures) {
        const QString file = folder_.filePath("catalog.pdf");
        PdfFile pdf(file, "Figures");
        PaperCatalog("Figures").Print(pdf.Writer(), figures);
        pdf.Commit();
        return file;
    }

    QStringList Ids(PaperFigureReader& figures) {
        QStringList ids;
        while (const std::optional<PaperFigure> figure = figures.Next())
            ids << figure->id;
        return ids;
    }
};

TEST_F(PaperCatalogTest, EveryFigureInOrderAndNoneSplitOverPages) {
    QImage thumbnail(123, 123, QImage::Format_RGB888);
    thumbnail.fill(Qt::blue);
    // Keys against the names' order, so that the order comes from the names.
    for (int i = 0; i < 100; ++i)
        AddFigure(QString("K%1").arg(99 - i), QString("Figure %1").arg(i, 3, 10, QChar('0')),
                  i % 2 ? QVariant(BitmapToBmpBytes(thumbnail)) : QVariant());
    const QString file = Print(PaperFigureReader());

    // A4 holds six blocks a page.
    ASSERT_EQ(PdfPages(file), 17);
    for (int page = 1; page <= 17; ++page) {
        QStringList expected;
        for (int i = (page - 1) * 6; i < qMin(100, page * 6); ++i)
            expected << QString("Figure %1").arg(i, 3, 10, QChar('0'));
        const QString text = PdfText(file, page);
        // The names on lines of their own; the descriptions name them too.
        EXPECT_EQ(Matches(text, "(?m)^Figure \\d{3}$").join(','), expected.join(',')) << page;
        EXPECT_TRUE(text.contains(QString("Page %1 of 17").arg(page))) << page;
    }
}

TEST_F(PaperCatalogTest, LongDescriptionIsCutWithAnEllipsis) {
    Exec("insert into figures (figure_id, figure_name, figure_dsc) values ('A', 'Hussar', ?)",
         {QString("Red dolman, fur busby.\n") + QString("Braid and buttons. ").repeated(300) +
          "Lastword"});
    const QString text = PdfText(Print(PaperFigureReader()));
    EXPECT_TRUE(text.contains("Red dolman, fur busby.\nBraid")) << text.toStdString();
    EXPECT_TRUE(text.contains(QChar(0x2026)));
    EXPECT_FALSE(text.contains("Lastword"));
}

TEST_F(PaperCatalogTest, ReadsInBatchesAfterTheLastFigureRead) {
    Exec("insert into producers (producer_id, producer_name) values ('P', 'Kestrell')");
    Exec("insert into figures (figure_id, figure_name, producer_id) values ('B', null, 'P'), "
         "('A', null, ''), ('E', 'x', 'P'), ('C', 'x', ''), ('D', 'x', 'P'), ('F', '', 'P')");
    PaperFigureReader all({}, {}, 2);
    EXPECT_EQ(all.Count(), 6);
    EXPECT_EQ(Ids(all).join(' '), "A B F C D E");
    PaperFigureReader skipped({}, {}, 2);
    skipped.Skip(3);
    EXPECT_EQ(Ids(skipped).join(' '), "C D E");
    // A filter line as the figures list writes it, and one with a value.
    PaperFigureReader listed(" where f.producer_id='P'", {}, 2);
    EXPECT_EQ(Ids(listed).join(' '), "B F D E");
    PaperFigureReader named(" where p.producer_name = :maker", {{"maker", "Kestrell"}}, 1);
    EXPECT_EQ(named.Count(), 4);
    EXPECT_EQ(Ids(named).join(' '), "B F D E");
}

TEST_F(PaperCatalogTest, SheetIsOnePageWithFieldsAndManual) {
    Exec("insert into genres values ('G', 'West Europe', 170, 90, 50, 50, 1100, 1500, null)");
    Exec("insert into figures (figure_id, figure_name, genre_id, sculpter_name, figure_dsc, "
         "manual_sheme) values ('F', 'Knight', 'G', 'Jon Ash', 'Plate armour', ?)",
         {QString("<SHEME HEIGHT=\"400\" WIDTH=\"600\" VERSION=\"2\">\r\n"
                  "<NODE L=\"20\" T=\"20\" W=\"150\" H=\"50\" N_NAME=\"Prime the armour\"/>\r\n"
                  "<NODE L=\"300\" T=\"200\" W=\"150\" H=\"50\" N_NAME=\"Paint the face\"/>\r\n"
                  "</SHEME>\r\n")});
    FigureSheet sheet;
    EXPECT_FALSE(sheet.Read("none"));
    ASSERT_TRUE(sheet.Read("F"));
    const QString file = folder_.filePath("sheet.pdf");
    PdfFile pdf(file, sheet.Name());
    sheet.Print(pdf.Writer());
    pdf.Commit();

    EXPECT_EQ(PdfPages(file), 1);
    const QString text = PdfText(file);
    for (const char* part : {"Knight", "Genre: West Europe, 1100 - 1500", "Sculptor: Jon Ash",
                             "Plate armour", "Prime the armour", "Paint the face"})
        EXPECT_TRUE(text.contains(part)) << part << "\n" << text.toStdString();
}

} // namespace
