#pragma once

#include "CsvReader.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QVariant>

#include <array>
#include <vector>

class CsvImportFile;
class CsvImportMapping;

// The columns of the figures table an imported row writes, in the order
// of the insert.
enum CsvImportColumn {
    FigureId,
    FigureName,
    ProducerId,
    GenreId,
    TypeCi,
    Scale,
    FigureDsc,
    FigureFiles,
    ManualSheme,
    PictureTh,
    Picture,
    SculpterName,
    PainterName,
    PrcKit,
    PrcPr,
    PrcPe,
    ColumnCount
};

// A record of the file made ready for the figures table: texts as UTF-8
// bytes, numbers as doubles, pictures in their stored forms, nothing for
// NULL; the manufacturer's and genre's names as written. When the record
// cannot be taken, skipReason says why.
struct CsvImportRow {
    std::array<QVariant, ColumnCount> values;
    QByteArray producerName;
    QByteArray genreName;
    QString skipReason;
};

// Reads the records of a file into rows by the mapping.
class CsvImportRowReader {
public:
    // keys are the figure keys already in the catalog; the reader follows
    // them as they grow.
    CsvImportRowReader(const CsvImportFile& file, const CsvImportMapping& mapping,
                       const QSet<QString>& keys);

    // The row of the record. A picture path is loaded here, with its
    // automatic thumbnail.
    CsvImportRow Read(const CsvRecord& record) const;

    // Where a field goes in the table.
    struct Target {
        const char* field;
        CsvImportColumn column;
    };

private:
    // A field, the file's column for it (-1 when none) and its width.
    struct Source {
        Target target;
        int column;
        int width;
    };

    const CsvImportFile& file_;
    const QSet<QString>& keys_;
    std::vector<Source> texts_;
    std::vector<Source> numbers_;
    int files_ = -1;
    int producer_ = -1;
    int genre_ = -1;
    int picture_ = -1;
    int lookupWidth_ = 0;
};
