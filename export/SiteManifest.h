#pragma once

#include <QString>
#include <QStringList>

// The list of files a publish wrote into its folder (paths inside the
// folder, "/" between levels), kept as JSON in the folder itself so that
// the next publish removes only files of its own that it no longer writes.
class SiteManifest {
public:
    static constexpr const char* FileName = "velmora-site.json";

    // The files the folder's manifest lists; none without a readable one.
    // Paths that would leave the folder are left out.
    static QStringList Read(const QString& folder);
    static void Write(const QString& folder, QStringList files);
    // Removes the files of earlier that are not in now, and folders they
    // leave empty; gives how many files went.
    static int RemoveStale(const QString& folder, const QStringList& earlier,
                           const QStringList& now);
};
