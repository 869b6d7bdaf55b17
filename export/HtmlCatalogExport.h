#pragma once

#include "HtmlPageBuilder.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// Publishes figures of the catalog on "ADB" as the export dialog does, into
// one folder: the pages in it, pictures, genre maps and thumbnails in its
// images folder. File names come from the names (FileNameFromName); names
// that give the same file name get "-2", "-3", ... Each genre's texts are
// read and its map is drawn and written once per publisher. File failures
// raise EFileError naming the file.
class HtmlCatalogExport {
public:
    static constexpr const char* ImagesFolder = "images";
    static constexpr const char* IndexFile = "index.html";

    explicit HtmlCatalogExport(const QString& outFolder, bool useMap = true);

    // The figure with that key; false when there is none.
    bool ExportFigure(const QString& figureId);

    // The pages written, in order, as paths inside the folder.
    const QStringList& Pages() const { return pages_; }
    // How many genre maps were written.
    int MapsWritten() const { return mapsWritten_; }

private:
    struct Figure {
        QString id;
        QString name;
        QString scale;
        QString producerName;
        QString description;
        QString genreId;
        QString genreName;
    };
    struct Genre {
        QString name;
        QString years;
        // Empty until the map is written.
        QString mapFile;
    };
    struct Listed {
        Figure figure;
        QString page;
        QString thumbnail;
    };

    QList<Figure> ReadFigures(const std::optional<QString>& onlyId) const;
    Listed Export(const Figure& figure);
    Genre& GenreOf(const Figure& figure, HtmlPageOptions& options);
    QString UniqueStem(const QString& name, const QString& fallback, QSet<QString>& used);

    QString outFolder_;
    QString imagesFolder_;
    bool useMap_;
    HtmlPageBuilder builder_;
    QHash<QString, Genre> genres_;
    QSet<QString> pageStems_;
    QSet<QString> imageStems_;
    QStringList pages_;
    int mapsWritten_ = 0;
};
