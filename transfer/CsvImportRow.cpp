#include "CsvImportRow.h"

#include "AutoThumbnail.h"
#include "CsvImportFile.h"
#include "CsvImportMapping.h"
#include "JpegEncoder.h"
#include "PictureLoader.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <optional>

namespace {

constexpr CsvImportRowReader::Target TextTargets[] = {
    {"figure_id", FigureId},
    {"figure_name", FigureName},
    {"type_ci", TypeCi},
    {"scale", Scale},
    {"figure_dsc", FigureDsc},
    {"manual_sheme", ManualSheme},
    {"sculpter_name", SculpterName},
    {"painter_name", PainterName},
};
constexpr CsvImportRowReader::Target NumberTargets[] = {
    {"prc_kit", PrcKit}, {"prc_pr", PrcPr}, {"prc_pe", PrcPe}};

QString Text(const CsvField& field) {
    return field ? QString::fromUtf8(*field) : QString();
}

// The stored form of attached files: each path followed by CR LF.
QString FileList(const QString& text) {
    QString stored;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r")))) {
        const QString path = line.trimmed();
        if (!path.isEmpty())
            stored += path + QStringLiteral("\r\n");
    }
    return stored;
}

// The number of characters of UTF-8 text.
qsizetype Utf8Length(const QByteArray& text) {
    qsizetype length = 0;
    for (const char byte : text)
        length += (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
    return length;
}

// Whether UTF-8 text holds more than width characters (none when width is
// 0). A character takes at least a byte: short text is not counted.
bool TooLong(const QByteArray& text, int width) {
    return width > 0 && text.size() > width && Utf8Length(text) > width;
}

} // namespace

CsvImportRowReader::CsvImportRowReader(const CsvImportFile& file, const CsvImportMapping& mapping,
                                       const QSet<QString>& keys)
    : file_(file), keys_(keys) {
    const auto column = [&mapping](const char* field) {
        return mapping.ColumnOf(QLatin1String(field));
    };
    for (const Target& target : TextTargets)
        texts_.push_back({target, column(target.field),
                          CsvImportMapping::FieldWidth(QLatin1String(target.field))});
    for (const Target& target : NumberTargets)
        numbers_.push_back({target, column(target.field), 0});
    files_ = column("figure_files");
    producer_ = column("producer_name");
    genre_ = column("genre_name");
    picture_ = column("picture");
    lookupWidth_ = CsvImportMapping::FieldWidth(QStringLiteral("producer_name"));
    for (int i = 0; i < CollectionColumns::Count; ++i) {
        collection_[i] = mapping.ColumnOf(CollectionColumns::Names()[i]);
        collectionMapped_ = collectionMapped_ || collection_[i] >= 0;
    }
}

CsvImportRow CsvImportRowReader::Read(const CsvRecord& record) const {
    CsvImportRow row;
    const auto skip = [&row](const QString& reason) {
        row.skipReason = reason;
        return row;
    };
    if (record.fields.size() > file_.Header().size())
        return skip(QStringLiteral("%1 fields where the first line names %2 columns")
                        .arg(record.fields.size())
                        .arg(file_.Header().size()));
    const auto bytes = [&record](int column) -> const QByteArray* {
        if (column < 0 || column >= record.fields.size() || !record.fields[column])
            return nullptr;
        return &*record.fields[column];
    };
    const auto value = [&record](int column) -> std::optional<QString> {
        if (column < 0)
            return std::nullopt;
        return column < record.fields.size() ? Text(record.fields[column]) : QString();
    };
    const auto tooLongReason = [](const char* field, int width) {
        return QStringLiteral("%1 is longer than %2 characters")
            .arg(QLatin1String(field))
            .arg(width);
    };

    // Text goes to the table as the UTF-8 it was read in.
    for (const Source& source : texts_) {
        const QByteArray* text = bytes(source.column);
        if (!text || text->isEmpty())
            continue;
        const CsvImportColumn target = source.target.column;
        const QByteArray stored =
            target == FigureId || target == FigureName ? text->trimmed() : *text;
        if (TooLong(stored, source.width))
            return skip(tooLongReason(source.target.field, source.width));
        row.values[target].SetText(stored);
    }
    if (row.values[FigureName].bytes.isEmpty())
        return skip(QStringLiteral("the figure has no name"));

    for (const Source& source : numbers_) {
        const std::optional<QString> text = value(source.column);
        if (!text || text->trimmed().isEmpty())
            continue;
        const std::optional<double> number = CollectionColumns::Number(*text);
        if (!number)
            return skip(QStringLiteral("%1 is not a number: \"%2\"")
                            .arg(QLatin1String(source.target.field), *text));
        row.values[source.target.column].SetNumber(*number);
    }
    if (collectionMapped_) {
        QList<CsvField> cells;
        for (const int column : collection_)
            cells.append(column >= 0 && column < record.fields.size() ? record.fields[column]
                                                                      : CsvField());
        CollectionColumns::Row collection = CollectionColumns::Read(cells);
        if (!collection.error.isEmpty())
            return skip(collection.error);
        row.collection = std::move(collection.values);
    }
    if (const std::optional<QString> files = value(files_); files && !files->isEmpty())
        row.values[FigureFiles].SetText(FileList(*files).toUtf8());

    if (const QByteArray* name = bytes(producer_))
        row.producerName = name->trimmed();
    if (TooLong(row.producerName, lookupWidth_))
        return skip(tooLongReason("producer_name", lookupWidth_));
    if (const QByteArray* name = bytes(genre_))
        row.genreName = name->trimmed();
    if (TooLong(row.genreName, lookupWidth_))
        return skip(tooLongReason("genre_name", lookupWidth_));

    if (const QByteArray& utf8Key = row.values[FigureId].bytes; !utf8Key.isEmpty()) {
        const QString key = QString::fromUtf8(utf8Key);
        if (keys_.contains(key))
            return skip(QStringLiteral("the key %1 is already in the catalog").arg(key));
    }

    if (const std::optional<QString> path = value(picture_); path && !path->trimmed().isEmpty()) {
        const QString fileName = QDir(file_.Folder()).absoluteFilePath(path->trimmed());
        if (!QFileInfo(fileName).isFile())
            return skip(QStringLiteral("the picture file %1 does not exist").arg(path->trimmed()));
        QString failure;
        const std::optional<QImage> picture = LoadPictureFile(fileName, &failure);
        if (!picture)
            return skip(QStringLiteral("the picture %1 can not be loaded%2")
                            .arg(path->trimmed(),
                                 failure.isEmpty() ? QString() : QStringLiteral(": ") + failure));
        row.values[Picture].SetBytes(PictureToJpegBytes(*picture));
        row.values[PictureTh].SetBytes(AutoThumbnailBytes(*picture));
    }
    return row;
}
