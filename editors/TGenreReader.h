#pragma once

#include <QString>

#include <memory>

class TJpegPicture;
class TQuery;

// What the HTML export tells about a figure's genre, read from the genres
// table of "ADB" by the genre's key. An unknown key reads as a genre with
// an empty name, the years 0 - 0 and no location on the map. A year or a
// marker value a genre lacks is the genre editor's default, as the editor
// shows it.
class TGenreReader {
public:
    // The integer in a column of the current record; fallback for a
    // missing column, NULL or text that is no number.
    static int IntegerOr(TQuery& record, const QString& column, int fallback);

    static QString GenreNameOf(const QString& key);
    // "YearText(TB) - YearText(TE)", for example "1100 - 1500".
    static QString GenreYearsText(const QString& key);
    // A new picture of the world map with the genre's location drawn on it;
    // it is encoded in the stored JPEG form when saved.
    static std::unique_ptr<TJpegPicture> GenreMapPicture(const QString& key);
};
