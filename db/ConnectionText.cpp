#include "ConnectionText.h"

#include <QRegularExpression>

QString ConnectionText::WithoutPassword(const QString& conninfo) {
    QString shown = conninfo.trimmed();
    // "password=..." in either form, and the password of a URI's user.
    static const QRegularExpression keyword(
        QStringLiteral(R"((^|[\s?&])password\s*=\s*('([^'\\]|\\.)*'|[^\s&]*)(&|\s+)?)"));
    static const QRegularExpression userinfo(
        QStringLiteral(R"(^(postgres(ql)?://[^:@/]*):[^@/]*@)"));
    shown.replace(keyword, QStringLiteral("\\1"));
    static const QRegularExpression dangling(QStringLiteral("[?&]$"));
    shown.replace(userinfo, QStringLiteral("\\1@"));
    shown.remove(dangling);
    return shown.trimmed();
}
