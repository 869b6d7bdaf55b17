#pragma once

#include <QByteArray>
#include <QString>

// One figure as the printed catalog shows it: its texts and its stored
// thumbnail (BMP bytes, empty for none).
struct PaperFigure {
    QString id;
    QString name;
    QString genre;
    QString manufacturer;
    QString scale;
    QString description;
    QByteArray thumbnail;
};
