#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

class TQuery;

// One column of a query's current row; a light handle, valid while the
// query stays open.
class TField {
public:
    TField(TQuery& query, int index);

    QString FieldName() const;
    int Index() const { return index_; }
    bool IsBlob() const;
    // For "char(n)" columns: n; 0 for other columns.
    int Size() const;

    bool IsNull() const;
    QVariant AsVariant() const;
    // Empty for NULL; blobs as UTF-8 text.
    QString AsString() const;
    // 0 for NULL or text that is not a number.
    int AsInteger() const;
    double AsFloat() const;
    QByteArray AsBytes() const;

    void SetValue(const QVariant& value);
    void SetAsString(const QString& value);
    void SetAsInteger(int value);
    void SetAsBytes(const QByteArray& value);
    void Clear();

private:
    TQuery* query_;
    int index_;
};
