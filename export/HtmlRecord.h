#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

// What a figure's page shows: the columns of the figure's row, its genre's
// texts and the stored picture.
struct HtmlRecord {
    QString figureName;
    QString scale;
    QString producerName;
    QString description;
    // The genre's name and years as the genre table tells them.
    QString genreName;
    QString genreYears;
    // The bytes of the stored picture (JPEG; none for an empty picture), or
    // nothing when they could not be read.
    std::optional<QByteArray> picture;
};

// Where the page and its pictures go. A path is a folder (relative to the
// current folder or absolute; empty is the current folder) and is created
// with any missing level; a file name is joined to its path.
struct HtmlPageOptions {
    QString pagePath;
    QString pageFile;
    QString picturePath;
    QString pictureFile;
    // The genre map goes into the picture path.
    bool useMap = true;
    QString mapFile;
    // The map picture's JPEG bytes, asked for when the map is used. Without
    // it the map file is taken as written already (an earlier page wrote it)
    // and only referred to.
    std::function<QByteArray()> mapBytes;
};

// A file an export writes: where, and its whole content.
struct HtmlPageFile {
    QString fileName;
    QByteArray bytes;
};
