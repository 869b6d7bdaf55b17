#pragma once

#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

// What poppler's tools read from a PDF file: its text, of all pages or of
// one, and its number of pages.
inline QString PdfText(const QString& file, int page = 0) {
    QStringList arguments;
    if (page > 0)
        arguments << "-f" << QString::number(page) << "-l" << QString::number(page);
    QProcess process;
    process.start("pdftotext", arguments << file << "-");
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int PdfPages(const QString& file) {
    QProcess process;
    process.start("pdfinfo", {file});
    process.waitForFinished(60000);
    const QRegularExpressionMatch match =
        QRegularExpression("Pages:\\s+(\\d+)")
            .match(QString::fromUtf8(process.readAllStandardOutput()));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// Every match of pattern in text, in order.
inline QStringList Matches(const QString& text, const QString& pattern) {
    QStringList found;
    for (const QRegularExpressionMatch& match : QRegularExpression(pattern).globalMatch(text))
        found << match.captured(0);
    return found;
}
