#include "HtmlRecordReader.h"

#include "EDatabaseError.h"
#include "TField.h"
#include "TGenreReader.h"
#include "TJpegPicture.h"
#include "TQuery.h"

HtmlRecord HtmlRecordReader::Read(TQuery& figures) {
    auto text = [&figures](const char* column) {
        return figures.FieldByName(QString::fromLatin1(column)).AsString();
    };
    HtmlRecord record;
    record.figureName = text("figure_name");
    record.scale = text("scale");
    record.producerName = text("producer_name");
    record.description = text("figure_dsc");
    const QString genre = text("genre_id");
    record.genreName = TGenreReader::GenreNameOf(genre);
    record.genreYears = TGenreReader::GenreYearsText(genre);
    record.picture = ReadPicture(text("figure_id"));
    return record;
}

std::optional<QByteArray> HtmlRecordReader::ReadPicture(const QString& figureId) {
    try {
        TQuery query(QStringLiteral("ADB"));
        query.SQL = {QStringLiteral("select picture"), QStringLiteral("from figures"),
                     QStringLiteral("where figure_id = :_id;")};
        query.SetParam(QStringLiteral("_id"), figureId);
        query.Open();
        if (query.IsEmpty())
            return std::nullopt;
        QByteArray bytes = query.FieldByName(QStringLiteral("picture")).AsBytes();
        query.Close();
        return bytes;
    } catch (const EDatabaseError&) {
        return std::nullopt;
    }
}

QByteArray HtmlRecordReader::GenreMapBytes(const QString& genreId) {
    return TGenreReader::GenreMapPicture(genreId)->SaveToBytes();
}
