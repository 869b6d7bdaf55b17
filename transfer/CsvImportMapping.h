#pragma once

#include <QString>
#include <QStringList>

// Which figure field each column of a CSV file goes to. The fields are the
// figures table's own column names, with the manufacturer and the genre by
// name (producer_name, genre_name), "picture" for the path of a picture
// file and the collection table's columns (collection_status and on);
// "skip" leaves a column out.
class CsvImportMapping {
public:
    static constexpr const char* Skip = "skip";

    // Every field a column can be mapped to, in the order the window offers
    // them, "skip" first.
    static const QStringList& Fields();
    // The longest text a field holds (its width in the tables), or 0 when
    // the field is not fixed-width text.
    static int FieldWidth(const QString& field);

    CsvImportMapping() = default;
    // Every column skipped.
    explicit CsvImportMapping(const QStringList& header);

    // A column named after a field (ignoring case) goes to it, every other
    // column is skipped; a field goes to one column at most.
    static CsvImportMapping Guess(const QStringList& header);
    // The mapping written as "column=field,column=field" (columns by their
    // header name, or by their number from 1 with '#', as "#3=scale");
    // columns not named are skipped. On a fault, error says what is wrong
    // and the mapping is empty.
    static CsvImportMapping Parse(const QString& text, const QStringList& header, QString* error);

    int ColumnCount() const { return static_cast<int>(fields_.size()); }
    QString Field(int column) const;
    void SetField(int column, const QString& field);
    // The column mapped to the field, or -1.
    int ColumnOf(const QString& field) const;
    // Empty when the mapping can be imported: a column for figure_name, no
    // field twice.
    QString Problem() const;

private:
    QStringList fields_;
};
