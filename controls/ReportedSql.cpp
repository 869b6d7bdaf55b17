#include "ReportedSql.h"

#include "DialogRunner.h"
#include "TField.h"
#include "TQuery.h"

#include <exception>

namespace {

const QString DatabaseName = QStringLiteral("ADB");

QString ErrorText(const std::exception& error) {
    return QString::fromUtf8(error.what());
}

} // namespace

QString QueryValue(const QStringList& lines) {
    TQuery query(DatabaseName);
    try {
        query.SQL = lines;
        query.Open();
        if (query.IsEmpty() || query.FieldCount() == 0)
            return {};
        return TField(query, 0).AsString();
    } catch (const std::exception& error) {
        DialogRunner::ShowStandardMessage(QString::fromUtf8("Полмилка виконання запиту:\r\n") +
                                          ErrorText(error));
        return {};
    }
}

bool ExecSql(const QStringList& lines) {
    TQuery query(DatabaseName);
    try {
        query.SQL = lines;
        query.ExecSQL();
        return true;
    } catch (const std::exception& error) {
        DialogRunner::ShowStandardMessage(QString::fromUtf8("Помилка виконання:\n\n") +
                                          ErrorText(error));
        return false;
    }
}
