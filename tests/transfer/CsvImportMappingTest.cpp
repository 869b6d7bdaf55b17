// Mapping the columns of a CSV file to figure fields.

#include "CsvImportMapping.h"

#include <gtest/gtest.h>

namespace {

TEST(CsvImportMappingTest, ParsesColumnEqualsFieldOrSaysWhatIsWrong) {
    const QStringList header{"Name", "Maker", "Size", "Photo"};
    struct Case {
        QString text;
        QStringList fields; // empty when refused
        QString error;
    };
    const Case cases[] = {
        {"Name=figure_name,maker=producer_name,#4=picture",
         {"figure_name", "producer_name", "skip", "picture"},
         {}},
        {"Name=FIGURE_NAME, Size = scale", {"figure_name", "skip", "scale", "skip"}, {}},
        {"Name=figure_name,Size=colour", {}, "\"colour\" is no field"},
        {"Name=figure_name,Height=scale", {}, "the file has no column \"Height\""},
        {"Name=figure_name,#9=scale", {}, "the file has no column \"#9\""},
        {"Name", {}, "\"Name\" is not column=field"},
        {"Name=figure_name,Maker=figure_name", {}, "two columns are mapped to figure_name"},
        {"Maker=producer_name", {}, "no column is mapped to figure_name"},
    };
    for (const Case& c : cases) {
        QString error;
        const CsvImportMapping mapping = CsvImportMapping::Parse(c.text, header, &error);
        QStringList fields;
        for (int i = 0; i < mapping.ColumnCount(); ++i)
            fields << mapping.Field(i);
        EXPECT_EQ(c.fields, fields) << c.text.toStdString();
        EXPECT_TRUE(error.startsWith(c.error)) << error.toStdString();
    }
}

TEST(CsvImportMappingTest, GuessMapsColumnsNamedAfterFields) {
    const CsvImportMapping mapping =
        CsvImportMapping::Guess({"Figure_Name", "notes", "genre_name", "figure_name"});
    EXPECT_EQ("figure_name", mapping.Field(0));
    EXPECT_EQ("skip", mapping.Field(1));
    EXPECT_EQ("genre_name", mapping.Field(2));
    EXPECT_EQ("skip", mapping.Field(3)) << "a field goes to one column only";
}

} // namespace
