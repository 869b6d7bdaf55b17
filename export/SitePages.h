#pragma once

#include "SiteCatalog.h"
#include "SiteIndex.h"

#include <QByteArray>
#include <QList>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

// A picture a page shows: its file and size, its text for readers that do
// not see it, and the file it opens full size (none for no link). Files
// are paths inside the published folder.
struct SiteImage {
    QString file;
    QSize size;
    QString alt;
    QString full;
};

// The texts of a published catalog's pages (HTML5, UTF-8, one shared
// stylesheet). Pages in the folder's top level refer to the others as they
// lie; pages in a subfolder through "../".
class SitePages {
public:
    struct Settings {
        QString lang;
        QString title;
        QString introduction;
        std::function<QString(const QString& key)> figureStem;
        std::function<QString(const QString& key)> genreStem;
        std::function<QString(const QString& key)> makerStem;
    };

    SitePages(const QList<SiteFigure>& figures, const SiteIndex& index, Settings settings);

    QByteArray Index() const;
    QByteArray ByMaker() const;
    QByteArray ByScale() const;
    // The figure at that place of the index order.
    QByteArray Figure(int place, const std::optional<SiteImage>& picture,
                      const QList<SiteImage>& gallery, const std::optional<SiteImage>& map) const;
    QByteArray Genre(const SiteGroup& group, const std::optional<SiteImage>& map) const;
    QByteArray Maker(const SiteGroup& group) const;

    static QString FigurePage(const QString& stem);
    static QString GenrePage(const QString& stem);
    static QString MakerPage(const QString& stem);
    static QString Thumbnail(const QString& stem);

private:
    QByteArray Page(const QString& root, const QString& title, const QString& body,
                    bool script = false) const;
    QString Card(int figure, const QString& root) const;
    QString Cards(const QList<int>& figures, const QString& root) const;
    QString Listing(const QList<SiteGroup>& groups, const QString& heading) const;
    QString Img(const SiteImage& image, const QString& root, bool lazy) const;
    QString Chips() const;

    const QList<SiteFigure>& figures_;
    const SiteIndex& index_;
    Settings settings_;
};
