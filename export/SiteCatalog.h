#pragma once

#include <QList>
#include <QSize>
#include <QString>

// What a published catalog shows of a figure, without its pictures.
struct SiteFigure {
    QString key;
    QString name;
    QString genreKey;
    QString makerKey;
    QString scale;
    QString type;
    QString sculptor;
    QString painter;
    QString description;
    // Set once the thumbnail is written; empty for none.
    QSize thumbnail;
};

struct SiteGenre {
    QString key;
    QString name;
    // As the figure's page tells them, "1100 - 1500".
    QString years;
    int begin = 0;
    int end = 0;
};

struct SiteMaker {
    QString key;
    QString name;
    QString website;
};

// A heading and the figures under it (indexes into the figures).
struct SiteGroup {
    QString key;
    QString title;
    QList<int> figures;
};
