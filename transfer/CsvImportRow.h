#pragma once

#include "CollectionColumns.h"
#include "CsvReader.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QVariantList>

#include <array>
#include <utility>
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

// One value of an imported row: NULL, UTF-8 text, the bytes of a picture
// in its stored form, or a number. Text of the file is a view of it.
struct CsvImportValue {
    enum class Kind : unsigned char { Null, Text, Bytes, Number };

    Kind kind = Kind::Null;
    double number = 0;
    QByteArray bytes;

    bool IsNull() const { return kind == Kind::Null; }
    void SetText(QByteArray text) {
        kind = Kind::Text;
        bytes = std::move(text);
    }
    void SetBytes(QByteArray data) {
        kind = Kind::Bytes;
        bytes = std::move(data);
    }
    void SetNumber(double value) {
        kind = Kind::Number;
        number = value;
    }
};

// A record of the file made ready for the figures table: texts as UTF-8
// bytes, numbers as doubles, pictures in their stored forms, nothing for
// NULL; the manufacturer's and genre's names as written; the figure's row
// of the collection table, none when its cells are empty. When the record
// cannot be taken, skipReason says why.
struct CsvImportRow {
    std::array<CsvImportValue, ColumnCount> values;
    QByteArray producerName;
    QByteArray genreName;
    QVariantList collection;
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
    // Whether a column goes to the collection table.
    bool CollectionMapped() const { return collectionMapped_; }

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
    std::array<int, CollectionColumns::Count> collection_{};
    bool collectionMapped_ = false;
};
