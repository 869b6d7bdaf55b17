#pragma once

#include "SiteCatalog.h"

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QStringList>

#include <functional>

// The order of a published catalog: figures grouped by genre, the genres
// in epoch order (first year, last year, then name) and figures without a
// genre last; names within a group sorted by the language's collation
// (accents and other scripts in their places, numbers by value), then by
// key. The same figures grouped by manufacturer and by scale, and the
// search data the index page filters with.
class SiteIndex {
public:
    SiteIndex(const QList<SiteFigure>& figures, const QList<SiteGenre>& genres,
              const QList<SiteMaker>& makers, const QLocale& locale);

    const QList<SiteGroup>& ByGenre() const { return byGenre_; }
    // Keyed by the manufacturer's key.
    QList<SiteGroup> ByMaker() const;
    QList<SiteGroup> ByScale() const;
    // Every figure once, group after group.
    const QList<int>& Order() const { return order_; }
    // The distinct values of a figure's field (genre name, scale, type),
    // sorted; empty ones left out.
    QStringList Values(const QString& field) const;

    const SiteGenre* Genre(const QString& key) const;
    const SiteMaker* Maker(const QString& key) const;
    QString GenreName(const SiteFigure& figure) const;
    QString MakerName(const SiteFigure& figure) const;

    // A script that assigns the search data to the global VELMORA_INDEX:
    // per figure its key, name, description, genre, manufacturer, scale and
    // type.
    QByteArray Script() const;

    bool Less(const QString& a, const QString& b) const;

private:
    QList<SiteGroup> GroupBy(const std::function<QString(const SiteFigure&)>& key,
                             const std::function<QString(const QString&)>& title,
                             const QString& none) const;
    void SortFigures(QList<int>& figures) const;

    const QList<SiteFigure>& figures_;
    QHash<QString, SiteGenre> genres_;
    QHash<QString, SiteMaker> makers_;
    QCollator collator_;
    QList<SiteGroup> byGenre_;
    QList<int> order_;
};
