#include "FileNameFromName.h"

#include <QLocale>

namespace {

bool Blank(QChar c) {
    return c.unicode() <= 32;
}

} // namespace

QString FileNameFromName(const QString& name) {
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && Blank(name[begin]))
        ++begin;
    while (end > begin && Blank(name[end - 1]))
        --end;
    QString fileName = QLocale::system().toLower(name.mid(begin, end - begin));
    for (QChar& c : fileName) {
        const char16_t u = c.unicode();
        if (!((u >= 'a' && u <= 'z') || (u >= '0' && u <= '9')))
            c = QLatin1Char('-');
    }
    return fileName;
}

QString FileNameFromName(const QString& name, const QString& fallback) {
    const QString fileName = FileNameFromName(name);
    return fileName.isEmpty() ? fallback : fileName;
}
