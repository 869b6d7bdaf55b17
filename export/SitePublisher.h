#pragma once

#include "SiteCatalog.h"

#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class SiteFileWriter;

// Publishes the catalog on "ADB" as a web site in a folder: index.html
// (cards grouped by genre, search and chips over site-index.js, site.js),
// by-maker.html, by-scale.html, a page per figure in figures/, per genre
// in genres/ and per manufacturer in makers/, the pictures in pictures/,
// JPEG thumbnails in thumbs/, genre maps in maps/, the shared site.css, and
// the manifest of every file written. No window is involved.
//
// The figures' texts are read at once; their pictures one figure at a
// time, so that no more than one figure's pictures are held. A publish
// into a folder with an earlier one removes the files the earlier manifest
// lists and this one did not write, and nothing else. File failures raise
// EFileError naming the file, the catalog's EDatabaseError.
class SitePublisher {
public:
    struct Options {
        QString title = QStringLiteral("Figures");
        QString introduction;
        bool useMap = true;
        // Names are sorted by its rules, and the pages are in its language.
        QLocale locale;
        // Told the steps done of all after each; false stops the publish.
        std::function<bool(int done, int total)> progress;
    };

    static constexpr const char* IndexFile = "index.html";

    SitePublisher(QString outFolder, Options options);
    ~SitePublisher();

    // False when stopped: what was written stays, and the manifest lists it
    // beside the earlier publish's files, which stay too.
    bool Publish();

    // Paths inside the folder, in the order written.
    const QStringList& Written() const { return written_; }
    int FigurePages() const { return figurePages_; }
    int MapsWritten() const { return mapsWritten_; }
    int Removed() const { return removed_; }

private:
    void Read();
    void Write(const QString& path, const QByteArray& bytes);
    QSize WriteThumbnail(const QString& path, const QByteArray& stored);
    bool Step();

    QString outFolder_;
    Options options_;
    QList<SiteFigure> figures_;
    QList<SiteGenre> genres_;
    QList<SiteMaker> makers_;
    QStringList written_;
    // Writes the files while the next ones are made, during Publish.
    std::unique_ptr<SiteFileWriter> writer_;
    int figurePages_ = 0;
    int mapsWritten_ = 0;
    int removed_ = 0;
    int done_ = 0;
    int total_ = 0;
};
