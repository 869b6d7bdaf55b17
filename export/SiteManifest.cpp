#include "SiteManifest.h"

#include "HtmlPageBuilder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <algorithm>

namespace {

bool Inside(const QString& path) {
    if (path.isEmpty() || QDir::isAbsolutePath(path) || path.contains(QLatin1Char('\\')))
        return false;
    const QStringList parts = path.split(QLatin1Char('/'));
    return std::none_of(parts.begin(), parts.end(), [](const QString& part) {
        return part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..");
    });
}

} // namespace

QStringList SiteManifest::Read(const QString& folder) {
    QFile file(QDir(folder).filePath(QString::fromLatin1(FileName)));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList files;
    const QJsonArray listed =
        QJsonDocument::fromJson(file.readAll()).object().value(QStringLiteral("files")).toArray();
    for (const QJsonValue& value : listed) {
        if (Inside(value.toString()))
            files << value.toString();
    }
    return files;
}

void SiteManifest::Write(const QString& folder, QStringList files) {
    files.removeDuplicates();
    std::sort(files.begin(), files.end());
    const QJsonObject manifest{{QStringLiteral("generator"), QStringLiteral("velmora")},
                               {QStringLiteral("files"), QJsonArray::fromStringList(files)}};
    HtmlPageBuilder::WriteFile(QDir(folder).filePath(QString::fromLatin1(FileName)),
                               QJsonDocument(manifest).toJson());
}

int SiteManifest::RemoveStale(const QString& folder, const QStringList& earlier,
                              const QStringList& now) {
    const QSet<QString> kept(now.begin(), now.end());
    const QDir root(folder);
    int removed = 0;
    for (const QString& path : earlier) {
        if (kept.contains(path) || !Inside(path) || !QFile::remove(root.filePath(path)))
            continue;
        ++removed;
        // rmdir leaves a folder that still holds anything.
        QString parent = QFileInfo(path).path();
        while (parent != QLatin1String(".") && root.rmdir(parent))
            parent = QFileInfo(parent).path();
    }
    return removed;
}
