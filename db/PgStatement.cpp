#include "PgStatement.h"

#include "EngineCode.h"
#include "PgSession.h"
#include "PgSqlText.h"

#include <libpq-fe.h>

#include <QDate>
#include <QLocale>
#include <QtEndian>

#include <cstring>

namespace {

// The server's type numbers the program meets.
enum TypeOid : unsigned {
    Bool = 16,
    Bytea = 17,
    Name = 19,
    Int8 = 20,
    Int2 = 21,
    Int4 = 23,
    Text = 25,
    ObjectId = 26,
    Float4 = 700,
    Float8 = 701,
    Unknown = 705,
    Bpchar = 1042,
    Varchar = 1043,
    Date = 1082,
    Numeric = 1700,
};

// Types whose binary form is their text as UTF-8.
bool IsText(unsigned type) {
    return type == Text || type == Varchar || type == Bpchar || type == Name || type == Unknown;
}

// Types whose binary form is decoded here.
bool BinaryKnown(unsigned type) {
    switch (type) {
    case Bool:
    case Bytea:
    case Int8:
    case Int2:
    case Int4:
    case ObjectId:
    case Float4:
    case Float8:
    case Date:
    case Numeric:
        return true;
    default:
        return IsText(type);
    }
}

template <typename T> T BigEndian(const char* data) {
    return qFromBigEndian<T>(data);
}

QByteArray Number(double value) {
    return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
}

// The text of a numeric in its binary form: digit groups of base 10,000.
QByteArray NumericText(QByteArrayView raw) {
    if (raw.size() < 8)
        return {};
    const int groups = BigEndian<qint16>(raw.data());
    const int weight = BigEndian<qint16>(raw.data() + 2);
    const quint16 sign = BigEndian<quint16>(raw.data() + 4);
    const int scale = BigEndian<quint16>(raw.data() + 6);
    if (sign == 0xC000)
        return "NaN";
    if (sign == 0xD000)
        return "Infinity";
    if (sign == 0xF000)
        return "-Infinity";
    const auto group = [&](int i) -> int {
        return i >= 0 && i < groups && 8 + 2 * i + 1 < raw.size()
                   ? BigEndian<quint16>(raw.data() + 8 + 2 * i)
                   : 0;
    };
    QByteArray text = sign == 0x4000 ? "-" : "";
    if (weight < 0) {
        text += '0';
    } else {
        text += QByteArray::number(group(0));
        for (int i = 1; i <= weight; ++i)
            text += QByteArray::number(group(i)).rightJustified(4, '0');
    }
    if (scale > 0) {
        QByteArray fraction;
        for (int i = weight + 1; fraction.size() < scale; ++i)
            fraction += QByteArray::number(group(i)).rightJustified(4, '0');
        text += '.' + fraction.left(scale);
    }
    return text;
}

QByteArray DateText(qint32 days) {
    if (days == std::numeric_limits<qint32>::max())
        return "infinity";
    if (days == std::numeric_limits<qint32>::min())
        return "-infinity";
    return QDate(2000, 1, 1).addDays(days).toString(Qt::ISODate).toLatin1();
}

// The binary form of a column as the text the server would send.
QByteArray BinaryAsText(unsigned type, QByteArrayView raw) {
    const char* data = raw.data();
    switch (type) {
    case Bool:
        return raw.size() == 1 && *data ? "t" : "f";
    case Int2:
        return raw.size() == 2 ? QByteArray::number(BigEndian<qint16>(data)) : QByteArray();
    case Int4:
        return raw.size() == 4 ? QByteArray::number(BigEndian<qint32>(data)) : QByteArray();
    case ObjectId:
        return raw.size() == 4 ? QByteArray::number(BigEndian<quint32>(data)) : QByteArray();
    case Int8:
        return raw.size() == 8 ? QByteArray::number(BigEndian<qint64>(data)) : QByteArray();
    case Float4: {
        if (raw.size() != 4)
            return {};
        const quint32 bits = BigEndian<quint32>(data);
        float value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return QByteArray::number(value, 'g', QLocale::FloatingPointShortest);
    }
    case Float8: {
        if (raw.size() != 8)
            return {};
        const quint64 bits = BigEndian<quint64>(data);
        double value = 0;
        std::memcpy(&value, &bits, sizeof value);
        return Number(value);
    }
    case Date:
        return raw.size() == 4 ? DateText(BigEndian<qint32>(data)) : QByteArray();
    case Numeric:
        return NumericText(raw);
    default:
        return raw.toByteArray();
    }
}

// The bytes of a bytea column in its text form ("\x" and hex digits).
QByteArray HexBytes(QByteArrayView raw) {
    if (raw.startsWith("\\x"))
        return QByteArray::fromHex(raw.sliced(2).toByteArray());
    size_t size = 0;
    unsigned char* bytes = PQunescapeBytea(
        reinterpret_cast<const unsigned char*>(raw.toByteArray().constData()), &size);
    QByteArray result(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(size));
    PQfreemem(bytes);
    return result;
}

} // namespace

int PgStatement::Prepare(const std::shared_ptr<PgSession>& session, const PgSqlText& text,
                         std::unique_ptr<EngineStatement>* statement) {
    PGconn* conn = session->Connection();
    const QByteArray name = session->NewStatementName();
    PGresult* prepared = PQprepare(conn, name.constData(), text.Text.constData(), 0, nullptr);
    int code = session->Take(prepared);
    PQclear(prepared);
    if (code != EngineCode::Ok)
        return code;
    auto made = std::make_unique<PgStatement>(session, name, text.Names);
    PGresult* described = PQdescribePrepared(conn, name.constData());
    code = session->Take(described);
    if (code == EngineCode::Ok) {
        for (int i = 0; i < PQnparams(described); ++i)
            made->paramTypes_.push_back(PQparamtype(described, i));
        while (made->paramNames_.size() < PQnparams(described))
            made->paramNames_ << QString();
        made->params_.resize(made->paramNames_.size());
        bool anyBytes = false;
        bool allKnown = true;
        for (int i = 0; i < PQnfields(described); ++i) {
            Column column;
            column.Name = QString::fromUtf8(PQfname(described, i));
            column.Type = PQftype(described, i);
            column.Modifier = PQfmod(described, i);
            column.Table = PQftable(described, i);
            column.TableColumn = PQftablecol(described, i);
            anyBytes = anyBytes || column.Type == Bytea;
            allKnown = allKnown && BinaryKnown(column.Type);
            made->columns_.push_back(std::move(column));
        }
        // Pictures travel as they are rather than as hex text.
        made->binary_ = anyBytes && allKnown;
        made->converted_.resize(made->columns_.size());
        made->isConverted_.resize(made->columns_.size());
        *statement = std::move(made);
    }
    PQclear(described);
    return code;
}

PgStatement::PgStatement(std::shared_ptr<PgSession> session, QByteArray name,
                         QStringList paramNames)
    : session_(std::move(session)), name_(std::move(name)), paramNames_(std::move(paramNames)) {}

PgStatement::~PgStatement() {
    PQclear(result_);
    session_->Release(name_);
}

int PgStatement::ColumnCount() const {
    return static_cast<int>(columns_.size());
}

QString PgStatement::ColumnName(int column) const {
    return columns_[column].Name;
}

QString PgStatement::DeclaredType(unsigned type, int modifier) {
    switch (type) {
    case Varchar:
    case Bpchar:
        return modifier > 4 ? QStringLiteral("char(%1)").arg(modifier - 4) : QStringLiteral("char");
    case Text:
        return QStringLiteral("blob(1,1)");
    case Bytea:
        return QStringLiteral("blob(1,5)");
    case Numeric:
        return modifier >= 4 ? QStringLiteral("numeric(%1,%2)")
                                   .arg((modifier - 4) >> 16)
                                   .arg((modifier - 4) & 0xffff)
                             : QStringLiteral("numeric");
    case Date:
        return QStringLiteral("date");
    case Int4:
        return QStringLiteral("integer");
    case Int2:
        return QStringLiteral("smallint");
    case Int8:
        return QStringLiteral("bigint");
    case Float4:
        return QStringLiteral("real");
    case Float8:
        return QStringLiteral("double precision");
    case Bool:
        return QStringLiteral("boolean");
    default:
        return {};
    }
}

QString PgStatement::ColumnDeclType(int column) const {
    const Column& c = columns_[column];
    return c.Table == InvalidOid ? QString() : DeclaredType(c.Type, c.Modifier);
}

QString PgStatement::ColumnDatabaseName(int column) const {
    return session_->OriginOf(columns_[column].Table, columns_[column].TableColumn).Schema;
}

QString PgStatement::ColumnTableName(int column) const {
    return session_->OriginOf(columns_[column].Table, columns_[column].TableColumn).Table;
}

QString PgStatement::ColumnOriginName(int column) const {
    return session_->OriginOf(columns_[column].Table, columns_[column].TableColumn).Column;
}

int PgStatement::ParamCount() const {
    return static_cast<int>(paramNames_.size());
}

QString PgStatement::ParamName(int param) const {
    return param >= 1 && param <= paramNames_.size() ? paramNames_[param - 1] : QString();
}

int PgStatement::Bind(int param, QByteArrayView bytes, Keep keep, int format) {
    if (param < 1 || param > static_cast<int>(params_.size()))
        return session_->Fail(QStringLiteral("column index out of range"), EngineCode::Error);
    Param& p = params_[param - 1];
    p.Null = false;
    p.Format = format;
    // Text goes to the server up to its terminating zero.
    if (keep == Keep::Copy || format == 0) {
        p.Owned = bytes.toByteArray();
        p.Data = p.Owned.constData();
    } else {
        p.Owned.clear();
        p.Data = bytes.data() ? bytes.data() : "";
    }
    p.Size = static_cast<int>(bytes.size());
    return EngineCode::Ok;
}

int PgStatement::BindNull(int param) {
    if (param < 1 || param > static_cast<int>(params_.size()))
        return session_->Fail(QStringLiteral("column index out of range"), EngineCode::Error);
    params_[param - 1] = Param();
    return EngineCode::Ok;
}

int PgStatement::BindInt64(int param, qint64 value) {
    return Bind(param, QByteArray::number(value), Keep::Copy, 0);
}

int PgStatement::BindDouble(int param, double value) {
    return Bind(param, Number(value), Keep::Copy, 0);
}

int PgStatement::BindText(int param, const QString& text) {
    return Bind(param, text.toUtf8(), Keep::Copy, 0);
}

int PgStatement::BindUtf8(int param, QByteArrayView utf8, Keep keep) {
    const bool raw = param >= 1 && param <= static_cast<int>(paramTypes_.size()) &&
                     (IsText(paramTypes_[param - 1]) || paramTypes_[param - 1] == Bytea);
    return Bind(param, utf8, keep, raw ? 1 : 0);
}

int PgStatement::BindBlob(int param, QByteArrayView bytes, Keep keep) {
    // Bytes go as they are where the server takes them so (bytea, text);
    // elsewhere as text for the server to read.
    const bool raw = param < 1 || param > static_cast<int>(paramTypes_.size()) ||
                     paramTypes_[param - 1] == Bytea || IsText(paramTypes_[param - 1]);
    return Bind(param, bytes, keep, raw ? 1 : 0);
}

int PgStatement::Step() {
    if (result_) {
        if (row_ + 1 < PQntuples(result_)) {
            ++row_;
            std::fill(isConverted_.begin(), isConverted_.end(), false);
            return EngineCode::Row;
        }
        if (row_ < PQntuples(result_)) {
            row_ = PQntuples(result_);
            return EngineCode::Done;
        }
        // Run to its end: a further step runs it again.
        Reset();
    }
    session_->ReleasePending();
    std::vector<const char*> values;
    std::vector<int> sizes;
    std::vector<int> formats;
    for (const Param& p : params_) {
        values.push_back(p.Null ? nullptr : p.Data);
        sizes.push_back(p.Size);
        formats.push_back(p.Format);
    }
    PGresult* result =
        PQexecPrepared(session_->Connection(), name_.constData(), static_cast<int>(params_.size()),
                       values.data(), sizes.data(), formats.data(), binary_ ? 1 : 0);
    const int code = session_->Take(result);
    if (code != EngineCode::Ok) {
        PQclear(result);
        return code;
    }
    result_ = result;
    row_ = 0;
    std::fill(isConverted_.begin(), isConverted_.end(), false);
    if (PQntuples(result_) > 0)
        return EngineCode::Row;
    return EngineCode::Done;
}

void PgStatement::Reset() {
    PQclear(result_);
    result_ = nullptr;
    row_ = -1;
}

void PgStatement::ClearBindings() {
    std::fill(params_.begin(), params_.end(), Param());
}

EngineStatement::Kind PgStatement::ColumnKind(int column) const {
    if (ColumnIsNull(column))
        return Kind::Null;
    switch (columns_[column].Type) {
    case Bytea:
        return Kind::Bytes;
    case Bool:
    case Int2:
    case Int4:
    case Int8:
    case ObjectId:
        return Kind::Integer;
    case Float4:
    case Float8:
    case Numeric:
        return Kind::Real;
    default:
        return Kind::Text;
    }
}

qint64 PgStatement::ColumnInt64(int column) const {
    const QByteArrayView text = ColumnData(column);
    if (text == "t" || text == "true")
        return 1;
    return text.toByteArray().toLongLong();
}

double PgStatement::ColumnDouble(int column) const {
    return ColumnData(column).toByteArray().toDouble();
}

bool PgStatement::ColumnIsNull(int column) const {
    return !result_ || row_ >= PQntuples(result_) || PQgetisnull(result_, row_, column);
}

QByteArrayView PgStatement::ColumnData(int column) const {
    if (ColumnIsNull(column))
        return {};
    const QByteArrayView raw(PQgetvalue(result_, row_, column), PQgetlength(result_, row_, column));
    return Converted(column, raw);
}

QByteArrayView PgStatement::Converted(int column, QByteArrayView raw) const {
    const unsigned type = columns_[column].Type;
    if (IsText(type) || (binary_ && type == Bytea))
        return raw;
    if (!binary_ && type != Bytea)
        return raw;
    if (!isConverted_[column]) {
        converted_[column] = type == Bytea ? HexBytes(raw) : BinaryAsText(type, raw);
        isConverted_[column] = true;
    }
    return converted_[column];
}
