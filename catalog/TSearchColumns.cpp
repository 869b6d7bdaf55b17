#include "TSearchColumns.h"

#include "EDatabaseError.h"
#include "TQuery.h"

#include <algorithm>
#include <exception>

namespace {

QString TextOf(const QVariant& value) {
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    return value.toString();
}

bool IsAscii(QByteArrayView bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

char AsciiUpper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Whether ASCII text holds upper, ignoring the letter case of text.
bool ContainsAsciiUpper(QByteArrayView text, QByteArrayView upper) {
    if (upper.size() > text.size())
        return false;
    const qsizetype last = text.size() - upper.size();
    for (qsizetype at = 0; at <= last; ++at) {
        qsizetype i = 0;
        while (i < upper.size() && AsciiUpper(text[at + i]) == upper[i])
            ++i;
        if (i == upper.size())
            return true;
    }
    return false;
}

} // namespace

TSearchColumns::TSearchColumns(TQuery& query, const QStringList& columns, const QString& text)
    : query_(query), text_(text), textUtf8_(text.toUtf8()), locale_(QLocale::system()) {
    const QLocale::Language language = locale_.language();
    localeRules_ = language == QLocale::Turkish || language == QLocale::Azerbaijani ||
                   language == QLocale::Lithuanian;
    asciiRules_ = !localeRules_ && IsAscii(textUtf8_);
    for (const QString& column : columns) {
        const int field = query_.FieldIndex(column);
        if (field < 0)
            throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(column));
        fields_.push_back(field);
    }
    if (!query_.KeyField.isEmpty())
        keyField_ = query_.FieldIndex(query_.KeyField);
}

bool TSearchColumns::CurrentMatches() {
    if (Scanned())
        return matches_.contains(TextOf(query_.Value(keyField_)));
    // A record matches when any of the columns holds the text.
    for (int field : fields_) {
        const QVariant value = query_.Value(field);
        if (value.typeId() == QMetaType::QByteArray ? Contains(QByteArrayView(value.toByteArray()))
                                                    : Contains(TextOf(value)))
            return true;
    }
    return false;
}

bool TSearchColumns::Contains(const QString& value) const {
    const QString upper = localeRules_ ? locale_.toUpper(value) : value.toUpper();
    return upper.contains(text_);
}

bool TSearchColumns::Contains(QByteArrayView utf8) const {
    if (asciiRules_ && IsAscii(utf8))
        return ContainsAsciiUpper(utf8, textUtf8_);
    return Contains(QString::fromUtf8(utf8));
}

bool TSearchColumns::Scanned() {
    // The record being edited holds values the table has not yet.
    if (keyField_ < 0 || query_.State() != TDataSetState::Browse)
        return false;
    if (!scanTried_ && ++singleReads_ > SingleReads) {
        scanTried_ = true;
        scanned_ = Scan();
    }
    return scanned_;
}

bool TSearchColumns::Scan() {
    if (query_.UpdatesPending())
        return false;
    try {
        query_.ScanColumns(fields_,
                           [this](QByteArrayView key, const std::vector<QByteArrayView>& values) {
                               for (QByteArrayView value : values) {
                                   if (Contains(value)) {
                                       matches_.insert(QString::fromUtf8(key));
                                       break;
                                   }
                               }
                           });
        return true;
    } catch (const std::exception&) {
        // The records are read one by one, as before.
        matches_.clear();
        return false;
    }
}
