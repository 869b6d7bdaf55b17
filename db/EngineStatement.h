#pragma once

#include <QByteArrayView>
#include <QString>
#include <QtGlobal>

// One statement prepared by an engine connection. Parameters are numbered
// from 1 and keep the names the program writes them with (":name"), so an
// engine that numbers its parameters itself maps the names to its numbers.
// Binding and stepping answer an EngineCode; column values of the current
// row stay valid until the next step or reset.
class EngineStatement {
public:
    // Whether bound bytes are copied, or stay where they are until the
    // statement has run (and its bindings are cleared).
    enum class Keep { Copy, InPlace };

    virtual ~EngineStatement() = default;

    virtual int ColumnCount() const = 0;
    virtual QString ColumnName(int column) const = 0;
    // As the table declares it ("char(32)"); empty for expressions.
    virtual QString ColumnDeclType(int column) const = 0;
    // Where a result column comes from: the database ("main"), table and
    // column; empty for expressions.
    virtual QString ColumnDatabaseName(int column) const = 0;
    virtual QString ColumnTableName(int column) const = 0;
    virtual QString ColumnOriginName(int column) const = 0;

    virtual int ParamCount() const = 0;
    // The name of a 1-based parameter without its leading ':', '@' or '$';
    // empty for a positional one.
    virtual QString ParamName(int param) const = 0;

    virtual int BindNull(int param) = 0;
    virtual int BindInt64(int param, qint64 value) = 0;
    virtual int BindDouble(int param, double value) = 0;
    virtual int BindText(int param, const QString& text) = 0;
    // Text as UTF-8 bytes, and bytes as they are; never NULL, also when
    // empty.
    virtual int BindUtf8(int param, QByteArrayView utf8, Keep keep) = 0;
    virtual int BindBlob(int param, QByteArrayView bytes, Keep keep) = 0;

    // EngineCode::Row, EngineCode::Done, or the failure's code.
    virtual int Step() = 0;
    // Ready to run again; the bindings stay.
    virtual void Reset() = 0;
    virtual void ClearBindings() = 0;

    virtual bool ColumnIsNull(int column) const = 0;
    // A column of the current row as bytes (text as UTF-8, numbers as
    // text).
    virtual QByteArrayView ColumnData(int column) const = 0;

    // What a column of the current row holds.
    enum class Kind { Null, Integer, Real, Text, Blob };
    // An engine whose values carry no kind of their own answers from the
    // column's declared type.
    virtual Kind ColumnKind(int column) const {
        if (ColumnIsNull(column))
            return Kind::Null;
        const QString type = ColumnDeclType(column).toLower();
        if (type.contains(QLatin1String("int")))
            return Kind::Integer;
        if (type.contains(QLatin1String("blob")))
            return Kind::Blob;
        if (type.contains(QLatin1String("real")) || type.contains(QLatin1String("floa")) ||
            type.contains(QLatin1String("doub")) || type.contains(QLatin1String("numeric")))
            return Kind::Real;
        return Kind::Text;
    }
    // A Real column of the current row, to the last bit.
    virtual double ColumnDouble(int column) const {
        return ColumnData(column).toByteArray().toDouble();
    }
};
