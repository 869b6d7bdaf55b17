#include "SiteIndex.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

SiteIndex::SiteIndex(const QList<SiteFigure>& figures, const QList<SiteGenre>& genres,
                     const QList<SiteMaker>& makers, const QLocale& locale)
    : figures_(figures), collator_(locale) {
    collator_.setNumericMode(true);
    collator_.setCaseSensitivity(Qt::CaseInsensitive);
    for (const SiteGenre& genre : genres)
        genres_.insert(genre.key, genre);
    for (const SiteMaker& maker : makers)
        makers_.insert(maker.key, maker);

    QHash<QString, QList<int>> members;
    for (int i = 0; i < figures_.size(); ++i)
        members[genres_.contains(figures_[i].genreKey) ? figures_[i].genreKey : QString()] << i;
    QList<const SiteGenre*> used;
    for (const SiteGenre& genre : std::as_const(genres_)) {
        if (members.contains(genre.key))
            used << &genre;
    }
    std::sort(used.begin(), used.end(), [this](const SiteGenre* a, const SiteGenre* b) {
        if (a->begin != b->begin)
            return a->begin < b->begin;
        if (a->end != b->end)
            return a->end < b->end;
        if (a->name != b->name)
            return Less(a->name, b->name);
        return a->key < b->key;
    });
    for (const SiteGenre* genre : used)
        byGenre_.append({genre->key, genre->name, members.value(genre->key)});
    if (members.contains(QString()))
        byGenre_.append({QString(), QStringLiteral("Without genre"), members.value(QString())});
    for (SiteGroup& group : byGenre_) {
        SortFigures(group.figures);
        order_ << group.figures;
    }
}

bool SiteIndex::Less(const QString& a, const QString& b) const {
    const int order = collator_.compare(a, b);
    return order != 0 ? order < 0 : a < b;
}

void SiteIndex::SortFigures(QList<int>& figures) const {
    std::sort(figures.begin(), figures.end(), [this](int a, int b) {
        const SiteFigure& x = figures_[a];
        const SiteFigure& y = figures_[b];
        if (x.name != y.name)
            return Less(x.name, y.name);
        return x.key < y.key;
    });
}

QList<SiteGroup> SiteIndex::GroupBy(const std::function<QString(const SiteFigure&)>& key,
                                    const std::function<QString(const QString&)>& title,
                                    const QString& none) const {
    QHash<QString, QList<int>> members;
    for (int i = 0; i < figures_.size(); ++i)
        members[key(figures_[i])] << i;
    QList<SiteGroup> groups;
    for (auto found = members.cbegin(); found != members.cend(); ++found) {
        if (!found.key().isEmpty())
            groups.append({found.key(), title(found.key()), found.value()});
    }
    std::sort(groups.begin(), groups.end(), [this](const SiteGroup& a, const SiteGroup& b) {
        return a.title != b.title ? Less(a.title, b.title) : a.key < b.key;
    });
    if (members.contains(QString()))
        groups.append({QString(), none, members.value(QString())});
    for (SiteGroup& group : groups)
        SortFigures(group.figures);
    return groups;
}

QList<SiteGroup> SiteIndex::ByMaker() const {
    return GroupBy(
        [this](const SiteFigure& figure) {
            return Maker(figure.makerKey) ? figure.makerKey : QString();
        },
        [this](const QString& key) { return Maker(key)->name.trimmed(); },
        QStringLiteral("Without manufacturer"));
}

QList<SiteGroup> SiteIndex::ByScale() const {
    return GroupBy([](const SiteFigure& figure) { return figure.scale.trimmed(); },
                   [](const QString& scale) { return scale; }, QStringLiteral("Without scale"));
}

QStringList SiteIndex::Values(const QString& field) const {
    QStringList values;
    for (const SiteFigure& figure : figures_) {
        const QString value = field == QLatin1String("genre")   ? GenreName(figure)
                              : field == QLatin1String("scale") ? figure.scale.trimmed()
                                                                : figure.type.trimmed();
        if (!value.isEmpty())
            values << value;
    }
    values.removeDuplicates();
    std::sort(values.begin(), values.end(),
              [this](const QString& a, const QString& b) { return Less(a, b); });
    return values;
}

const SiteGenre* SiteIndex::Genre(const QString& key) const {
    const auto found = genres_.constFind(key);
    return found == genres_.constEnd() ? nullptr : &*found;
}

const SiteMaker* SiteIndex::Maker(const QString& key) const {
    const auto found = makers_.constFind(key);
    return found == makers_.constEnd() ? nullptr : &*found;
}

QString SiteIndex::GenreName(const SiteFigure& figure) const {
    const SiteGenre* genre = Genre(figure.genreKey);
    return genre ? genre->name.trimmed() : QString();
}

QString SiteIndex::MakerName(const SiteFigure& figure) const {
    const SiteMaker* maker = Maker(figure.makerKey);
    return maker ? maker->name.trimmed() : QString();
}

QByteArray SiteIndex::Script() const {
    QJsonArray entries;
    for (int i : order_) {
        const SiteFigure& figure = figures_[i];
        entries.append(QJsonObject{{QStringLiteral("k"), figure.key},
                                   {QStringLiteral("n"), figure.name},
                                   {QStringLiteral("d"), figure.description},
                                   {QStringLiteral("g"), GenreName(figure)},
                                   {QStringLiteral("m"), MakerName(figure)},
                                   {QStringLiteral("s"), figure.scale.trimmed()},
                                   {QStringLiteral("t"), figure.type.trimmed()}});
    }
    // "</" could end a script element that embeds the data.
    const QByteArray json =
        QJsonDocument(entries).toJson(QJsonDocument::Compact).replace("</", "<\\/");
    return "window.VELMORA_INDEX = " + json + ";\n";
}
