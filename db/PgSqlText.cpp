#include "PgSqlText.h"

namespace {

bool IsNameStart(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool IsNameChar(char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9');
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// The end of a quoted part that starts at i with quote; a doubled quote
// stands for itself, and with backslashes a backslash escapes what follows.
qsizetype QuotedEnd(QByteArrayView s, qsizetype i, char quote, bool backslashes) {
    for (++i; i < s.size(); ++i) {
        if (backslashes && s[i] == '\\') {
            ++i;
        } else if (s[i] == quote) {
            if (i + 1 < s.size() && s[i + 1] == quote)
                ++i;
            else
                return i + 1;
        }
    }
    return s.size();
}

// The end of a block comment that starts at i; they nest.
qsizetype CommentEnd(QByteArrayView s, qsizetype i) {
    int depth = 0;
    while (i < s.size()) {
        if (s[i] == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            ++depth;
            i += 2;
        } else if (s[i] == '*' && i + 1 < s.size() && s[i + 1] == '/') {
            i += 2;
            if (--depth == 0)
                return i;
        } else {
            ++i;
        }
    }
    return s.size();
}

// The tag of a dollar quote starting at i ("$tag$" or "$$"); empty when
// none starts there.
QByteArrayView DollarTag(QByteArrayView s, qsizetype i) {
    qsizetype j = i + 1;
    if (j < s.size() && IsNameStart(s[j]))
        while (j < s.size() && IsNameChar(s[j]))
            ++j;
    if (j < s.size() && s[j] == '$')
        return s.sliced(i, j - i + 1);
    return {};
}

} // namespace

PgSqlText PgSqlText::FirstStatement(QByteArrayView s) {
    PgSqlText result;
    qsizetype copied = 0; // s up to here is in Text
    qsizetype i = 0;
    const auto copyUpTo = [&](qsizetype end) {
        result.Text.append(s.sliced(copied, end - copied));
        copied = end;
    };
    while (i < s.size()) {
        const char c = s[i];
        const char next = i + 1 < s.size() ? s[i + 1] : '\0';
        if (c == ';') {
            copyUpTo(i);
            result.Used = i + 1;
            return result;
        }
        if (IsBlank(c)) {
            ++i;
            continue;
        }
        if (c == '-' && next == '-') {
            while (i < s.size() && s[i] != '\n')
                ++i;
            continue;
        }
        if (c == '/' && next == '*') {
            i = CommentEnd(s, i);
            continue;
        }
        result.Empty = false;
        if (c == '\'') {
            const bool escapes =
                i > 0 && (s[i - 1] == 'E' || s[i - 1] == 'e') && (i == 1 || !IsNameChar(s[i - 2]));
            i = QuotedEnd(s, i, '\'', escapes);
        } else if (c == '"') {
            i = QuotedEnd(s, i, '"', false);
        } else if (c == '$' && (i == 0 || !IsNameChar(s[i - 1])) && !DollarTag(s, i).isEmpty()) {
            const QByteArrayView tag = DollarTag(s, i);
            const qsizetype close = s.indexOf(tag, i + tag.size());
            i = close < 0 ? s.size() : close + tag.size();
        } else if (IsNameChar(c)) {
            while (i < s.size() && (IsNameChar(s[i]) || s[i] == '$'))
                ++i;
        } else if (c == ':' && next == ':') {
            i += 2;
        } else if (c == ':' && IsNameStart(next)) {
            qsizetype end = i + 1;
            while (end < s.size() && IsNameChar(s[end]))
                ++end;
            const QString name = QString::fromUtf8(s.sliced(i + 1, end - i - 1));
            qsizetype number = result.Names.indexOf(name) + 1;
            if (number == 0) {
                result.Names << name;
                number = result.Names.size();
            }
            copyUpTo(i);
            result.Text += '$' + QByteArray::number(number);
            copied = i = end;
        } else if (c == '?') {
            result.Names << QString();
            copyUpTo(i);
            result.Text += '$' + QByteArray::number(result.Names.size());
            copied = i = i + 1;
        } else {
            ++i;
        }
    }
    copyUpTo(s.size());
    result.Used = s.size();
    return result;
}
