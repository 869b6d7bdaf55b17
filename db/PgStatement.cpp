#include "PgStatement.h"

#include "EngineCode.h"
#include "PgSession.h"
#include "PgSqlText.h"

#include <libpq-fe.h>

#include <QDate>
#include <QLocale>
#include <QtEndian>

#include <algorithm>
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
    const bool changesStructure = PgSession::ChangesStructure(text.Text);
    if (std::shared_ptr<PgPrepared> kept = session->Kept(text.Text)) {
        *statement = std::make_unique<PgStatement>(session, std::move(kept), changesStructure);
        return session->Fail(QString(), EngineCode::Ok);
    }
    auto prepared = std::make_shared<PgPrepared>();
    prepared->Name = session->NewStatementName();
    prepared->ParamNames = text.Names;
    PGresult* result = PQprepare(session->Connection(), prepared->Name.constData(),
                                 text.Text.constData(), 0, nullptr);
    const int code = session->Take(result);
    PQclear(result);
    if (code != EngineCode::Ok)
        return code;
    if (!changesStructure)
        session->Keep(text.Text, prepared);
    *statement = std::make_unique<PgStatement>(session, std::move(prepared), changesStructure);
    return code;
}

PgStatement::PgStatement(std::shared_ptr<PgSession> session, std::shared_ptr<PgPrepared> prepared,
                         bool changesStructure)
    : session_(std::move(session)), prepared_(std::move(prepared)),
      changesStructure_(changesStructure), params_(prepared_->ParamNames.size()) {}

PgStatement::~PgStatement() {
    EndRun();
    if (!prepared_->Kept)
        session_->Release(prepared_->Name);
}

int PgStatement::Describe() const {
    session_->Claim();
    PGresult* described = PQdescribePrepared(session_->Connection(), prepared_->Name.constData());
    const int code = session_->Take(described);
    if (code == EngineCode::Ok) {
        prepared_->ParamTypes.clear();
        for (int i = 0; i < PQnparams(described); ++i)
            prepared_->ParamTypes.push_back(PQparamtype(described, i));
        while (prepared_->ParamNames.size() < PQnparams(described))
            prepared_->ParamNames << QString();
        prepared_->Described = true;
        LearnColumns(described);
    }
    PQclear(described);
    return code;
}

void PgStatement::LearnColumns(const pg_result* result) const {
    if (prepared_->ColumnsKnown)
        return;
    prepared_->Columns.clear();
    for (int i = 0; i < PQnfields(result); ++i) {
        PgPrepared::Column column;
        column.Name = QString::fromUtf8(PQfname(result, i));
        column.Type = PQftype(result, i);
        column.Modifier = PQfmod(result, i);
        column.Table = PQftable(result, i);
        column.TableColumn = PQftablecol(result, i);
        prepared_->Columns.push_back(std::move(column));
    }
    prepared_->ColumnsKnown = true;
}

int PgStatement::ColumnCount() const {
    if (!prepared_->ColumnsKnown)
        Describe();
    return static_cast<int>(prepared_->Columns.size());
}

QString PgStatement::ColumnName(int column) const {
    return column < ColumnCount() ? prepared_->Columns[column].Name : QString();
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
    if (column >= ColumnCount())
        return {};
    const PgPrepared::Column& c = prepared_->Columns[column];
    return c.Table == InvalidOid ? QString() : DeclaredType(c.Type, c.Modifier);
}

QString PgStatement::ColumnDatabaseName(int column) const {
    if (column >= ColumnCount())
        return {};
    const PgPrepared::Column& c = prepared_->Columns[column];
    return session_->OriginOf(c.Table, c.TableColumn).Schema;
}

QString PgStatement::ColumnTableName(int column) const {
    if (column >= ColumnCount())
        return {};
    const PgPrepared::Column& c = prepared_->Columns[column];
    return session_->OriginOf(c.Table, c.TableColumn).Table;
}

QString PgStatement::ColumnOriginName(int column) const {
    if (column >= ColumnCount())
        return {};
    const PgPrepared::Column& c = prepared_->Columns[column];
    return session_->OriginOf(c.Table, c.TableColumn).Column;
}

int PgStatement::ParamCount() const {
    return static_cast<int>(params_.size());
}

QString PgStatement::ParamName(int param) const {
    return param >= 1 && param <= prepared_->ParamNames.size() ? prepared_->ParamNames[param - 1]
                                                               : QString();
}

int PgStatement::Bind(int param, QByteArrayView bytes, Keep keep, Form as) {
    if (param < 1 || param > static_cast<int>(params_.size()))
        return session_->Fail(QStringLiteral("column index out of range"), EngineCode::Error);
    Param& p = params_[param - 1];
    p.Null = false;
    p.As = as;
    // Text goes to the server up to its terminating zero.
    if (keep == Keep::Copy || as == Form::Text) {
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
    return Bind(param, QByteArray::number(value), Keep::Copy, Form::Text);
}

int PgStatement::BindDouble(int param, double value) {
    return Bind(param, Number(value), Keep::Copy, Form::Text);
}

int PgStatement::BindText(int param, const QString& text) {
    return Bind(param, text.toUtf8(), Keep::Copy, Form::Text);
}

int PgStatement::BindUtf8(int param, QByteArrayView utf8, Keep keep) {
    return Bind(param, utf8, keep, Form::Utf8);
}

int PgStatement::BindBlob(int param, QByteArrayView bytes, Keep keep) {
    return Bind(param, bytes, keep, Form::Bytes);
}

int PgStatement::Step() {
    if (running_)
        return NextRow();
    return Run();
}

int PgStatement::Run() {
    session_->ReleasePending();
    // Whether UTF-8 and bytes may go as they are depends on the parameters'
    // types.
    const bool typesNeeded = std::any_of(params_.begin(), params_.end(), [](const Param& p) {
        return !p.Null && p.As != Form::Text;
    });
    if (typesNeeded && !prepared_->Described) {
        const int code = Describe();
        if (code != EngineCode::Ok)
            return code;
    }
    const std::vector<unsigned>& types = prepared_->ParamTypes;
    std::vector<const char*> values;
    std::vector<int> sizes;
    std::vector<int> formats;
    for (size_t i = 0; i < params_.size(); ++i) {
        Param& p = params_[i];
        const unsigned type = i < types.size() ? types[i] : 0;
        // Bytes go as they are where the server takes them so (bytea,
        // text); elsewhere as text for the server to read.
        const bool raw =
            (p.As == Form::Utf8 && (IsText(type) || type == Bytea)) ||
            (p.As == Form::Bytes && (i >= types.size() || type == Bytea || IsText(type)));
        if (!p.Null && !raw && p.Owned.isNull()) {
            p.Owned = QByteArray(p.Data, p.Size);
            p.Data = p.Owned.constData();
        }
        values.push_back(p.Null ? nullptr : p.Data);
        sizes.push_back(p.Size);
        formats.push_back(raw ? 1 : 0);
    }
    // Pictures travel as they are rather than as hex text.
    bool binary = false;
    if (prepared_->ColumnsKnown) {
        bool allKnown = true;
        for (const PgPrepared::Column& column : prepared_->Columns) {
            binary = binary || column.Type == Bytea;
            allKnown = allKnown && BinaryKnown(column.Type);
        }
        binary = binary && allKnown;
    }
    PGconn* conn = session_->Connection();
    if (!PQsendQueryPrepared(conn, prepared_->Name.constData(), static_cast<int>(params_.size()),
                             values.data(), sizes.data(), formats.data(), binary ? 1 : 0))
        return session_->FailWithConnectionMessage(EngineCode::Error);
    // Rows come one by one, so that a large result never lies in memory
    // whole.
    PQsetSingleRowMode(conn);
    running_ = true;
    streaming_ = true;
    session_->SetStreaming(this);
    return NextRow();
}

pg_result* PgStatement::NextResult() {
    if (!taken_.empty()) {
        pg_result* result = taken_.front();
        taken_.pop_front();
        return result;
    }
    if (!streaming_)
        return nullptr;
    pg_result* result = PQgetResult(session_->Connection());
    if (!result) {
        streaming_ = false;
        session_->SetStreaming(nullptr);
    }
    return result;
}

int PgStatement::NextRow() {
    if (result_ && row_ + 1 < PQntuples(result_)) {
        ++row_;
        std::fill(isConverted_.begin(), isConverted_.end(), false);
        return EngineCode::Row;
    }
    PQclear(result_);
    result_ = nullptr;
    row_ = -1;
    pg_result* result = NextResult();
    const ExecStatusType status = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (status == PGRES_SINGLE_TUPLE || (status == PGRES_TUPLES_OK && PQntuples(result) > 0)) {
        LearnColumns(result);
        result_ = result;
        row_ = 0;
        converted_.resize(PQnfields(result));
        isConverted_.assign(PQnfields(result), false);
        return EngineCode::Row;
    }
    // The run's end: its outcome, then nothing more from the connection.
    if (status == PGRES_TUPLES_OK)
        LearnColumns(result);
    const int code =
        result ? session_->Take(result) : session_->FailWithConnectionMessage(EngineCode::Error);
    // A kept statement no longer fits a table changed by another client.
    if (result && qstrcmp(PQresultErrorField(result, PG_DIAG_SQLSTATE), "0A000") == 0)
        session_->ForgetKept();
    PQclear(result);
    EndRun();
    if (code == EngineCode::Ok && changesStructure_)
        session_->ForgetKept();
    return code == EngineCode::Ok ? EngineCode::Done : code;
}

void PgStatement::TakeRest() {
    while (pg_result* result = streaming_ ? PQgetResult(session_->Connection()) : nullptr)
        taken_.push_back(result);
    streaming_ = false;
    session_->SetStreaming(nullptr);
}

void PgStatement::EndRun() {
    PQclear(result_);
    result_ = nullptr;
    row_ = -1;
    for (pg_result* result : taken_)
        PQclear(result);
    taken_.clear();
    while (streaming_)
        PQclear(NextResult());
    running_ = false;
}

void PgStatement::Reset() {
    EndRun();
}

void PgStatement::ClearBindings() {
    std::fill(params_.begin(), params_.end(), Param());
}

EngineStatement::Kind PgStatement::ColumnKind(int column) const {
    if (ColumnIsNull(column))
        return Kind::Null;
    switch (PQftype(result_, column)) {
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
    case Bytea:
        return Kind::Bytes;
    default:
        return Kind::Text;
    }
}

qint64 PgStatement::ColumnInt64(int column) const {
    const QByteArrayView data = ColumnData(column);
    if (data == "t")
        return 1;
    return QByteArray(data.data(), data.size()).toLongLong();
}

double PgStatement::ColumnDouble(int column) const {
    const QByteArrayView data = ColumnData(column);
    return QByteArray(data.data(), data.size()).toDouble();
}

bool PgStatement::ColumnIsNull(int column) const {
    return !result_ || column < 0 || column >= PQnfields(result_) ||
           PQgetisnull(result_, row_, column);
}

QByteArrayView PgStatement::ColumnData(int column) const {
    if (ColumnIsNull(column))
        return {};
    const QByteArrayView raw(PQgetvalue(result_, row_, column), PQgetlength(result_, row_, column));
    return Converted(column, raw);
}

QByteArrayView PgStatement::Converted(int column, QByteArrayView raw) const {
    const unsigned type = PQftype(result_, column);
    const bool binary = PQfformat(result_, column) == 1;
    if (IsText(type) || (binary && type == Bytea) || (!binary && type != Bytea))
        return raw;
    if (!isConverted_[column]) {
        converted_[column] = type == Bytea ? HexBytes(raw) : BinaryAsText(type, raw);
        isConverted_[column] = true;
    }
    return converted_[column];
}
