#include "FileNameFromName.h"

#include <QLocale>

#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>

namespace {

bool Blank(QChar c) {
    return c.unicode() <= 32;
}

bool IsAscii(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() > 127)
            return false;
    }
    return true;
}

// The text in Latin letters without accents ("Гусар" gives "Gusar", "Épée"
// gives "Epee"), so that names in other scripts give file names of their
// own. A text ICU cannot take (or without its transliteration data) stays
// as it is.
QString ToAscii(const QString& text) {
    if (IsAscii(text))
        return text;
    // Making the transliterator reads its rules; one serves each thread.
    thread_local const std::unique_ptr<icu::Transliterator> transliterator = [] {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Transliterator> made(
            icu::Transliterator::createInstance("Any-Latin; Latin-ASCII", UTRANS_FORWARD, status));
        return U_SUCCESS(status) ? std::move(made) : nullptr;
    }();
    if (!transliterator)
        return text;
    icu::UnicodeString unicode(reinterpret_cast<const UChar*>(text.utf16()),
                               static_cast<int32_t>(text.size()));
    transliterator->transliterate(unicode);
    return QString(reinterpret_cast<const QChar*>(unicode.getBuffer()), unicode.length());
}

} // namespace

QString FileNameFromName(const QString& name) {
    qsizetype begin = 0;
    qsizetype end = name.size();
    while (begin < end && Blank(name[begin]))
        ++begin;
    while (end > begin && Blank(name[end - 1]))
        --end;
    QString fileName = QLocale::system().toLower(ToAscii(name.mid(begin, end - begin)));
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
