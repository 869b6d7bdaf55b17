#include "TField.h"

#include "TQuery.h"

#include <QRegularExpression>

TField::TField(TQuery& query, int index) : query_(&query), index_(index) {}

QString TField::FieldName() const {
    return query_->FieldName(index_);
}

bool TField::IsBlob() const {
    return query_->IsBlobField(index_);
}

int TField::Size() const {
    static const QRegularExpression fixedText(QStringLiteral("^\\s*char\\s*\\(\\s*(\\d+)\\s*\\)"),
                                              QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = fixedText.match(query_->FieldType(index_));
    return match.hasMatch() ? match.captured(1).toInt() : 0;
}

bool TField::IsNull() const {
    return AsVariant().isNull();
}

QVariant TField::AsVariant() const {
    return query_->Value(index_);
}

QString TField::AsString() const {
    const QVariant value = AsVariant();
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    return value.toString();
}

int TField::AsInteger() const {
    const QVariant value = AsVariant();
    if (value.isNull())
        return 0;
    bool ok = false;
    const int number = value.toInt(&ok);
    if (ok)
        return number;
    // Text such as "12.0" or " 7 " still counts as its number.
    const double real = AsString().trimmed().toDouble(&ok);
    return ok ? static_cast<int>(real) : 0;
}

double TField::AsFloat() const {
    const QVariant value = AsVariant();
    if (value.isNull())
        return 0;
    bool ok = false;
    const double number = value.toDouble(&ok);
    return ok ? number : 0;
}

QByteArray TField::AsBytes() const {
    const QVariant value = AsVariant();
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QByteArray)
        return value.toByteArray();
    return value.toString().toUtf8();
}

void TField::SetValue(const QVariant& value) {
    query_->SetValue(index_, value);
}

void TField::SetAsString(const QString& value) {
    query_->SetValue(index_, value);
}

void TField::SetAsInteger(int value) {
    query_->SetValue(index_, value);
}

void TField::SetAsBytes(const QByteArray& value) {
    query_->SetValue(index_, value);
}

void TField::Clear() {
    query_->SetValue(index_, QVariant());
}
