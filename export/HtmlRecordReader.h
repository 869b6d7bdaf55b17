#pragma once

#include "HtmlRecord.h"

#include <QByteArray>
#include <QString>

#include <optional>

class TQuery;

// Reads what a figure's page shows from the catalog on "ADB".
class HtmlRecordReader {
public:
    // The current row of the figures list (figure_name, scale,
    // producer_name, figure_dsc, genre_id), the genre's texts from the
    // genres table and the figure's stored picture.
    static HtmlRecord Read(TQuery& figures);
    // The "picture" column of the figure; nothing when the figure or its
    // column cannot be read.
    static std::optional<QByteArray> ReadPicture(const QString& figureId);
    // The world map with the genre's location, in the stored JPEG form.
    static QByteArray GenreMapBytes(const QString& genreId);
};
