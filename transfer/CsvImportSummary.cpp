#include "CsvImportSummary.h"

QStringList CsvImportSummary::Lines() const {
    if (stopped)
        return {QStringLiteral("Stopped; nothing was imported.")};
    if (!failure.isEmpty())
        return {QStringLiteral("Nothing was imported: %1").arg(failure)};
    QStringList lines{
        QStringLiteral("Figures added: %1; rows skipped: %2.").arg(added).arg(skipped.size()),
        QStringLiteral("Manufacturers created: %1; genres created: %2.")
            .arg(producersCreated)
            .arg(genresCreated)};
    for (const Skip& skip : skipped)
        lines << QStringLiteral("Line %1 skipped: %2").arg(skip.line).arg(skip.reason);
    return lines;
}
