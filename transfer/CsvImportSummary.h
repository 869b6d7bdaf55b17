#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// What an import of CSV rows did. When it was stopped or failed, nothing
// of it stays in the catalog.
struct CsvImportSummary {
    struct Skip {
        int line = 0;
        QString reason;
    };

    int added = 0;
    int producersCreated = 0;
    int genresCreated = 0;
    QList<Skip> skipped;
    bool stopped = false;
    // Why nothing was imported; empty when the import ran.
    QString failure;

    bool Imported() const { return !stopped && failure.isEmpty(); }
    // The summary as lines for the user: the counts, then one line per
    // skipped row with its line number and the reason.
    QStringList Lines() const;
};
