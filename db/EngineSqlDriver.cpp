#include "EngineSqlDriver.h"

#include "EDatabaseError.h"
#include "EngineConnection.h"
#include "TSqlStatement.h"

#include <QSqlError>
#include <QSqlField>
#include <QSqlRecord>
#include <QSqlResult>

#include <optional>

namespace {

class EngineSqlResult final : public QSqlResult {
public:
    EngineSqlResult(const QSqlDriver* driver, EngineConnection* engine)
        : QSqlResult(driver), engine_(engine) {}

protected:
    QVariant data(int column) override { return statement_->ColumnValue(column); }
    bool isNull(int column) override { return statement_->ColumnValue(column).isNull(); }

    bool reset(const QString& query) override { return prepare(query) && exec(); }

    bool prepare(const QString& query) override {
        statement_.reset();
        try {
            statement_.emplace(engine_, query);
        } catch (const EDatabaseError& error) {
            return Fail(error.Message(), error.EngineCode, QSqlError::StatementError);
        }
        return true;
    }

    bool exec() override {
        setActive(false);
        setAt(QSql::BeforeFirstRow);
        if (!statement_ || !statement_->IsValid())
            return Fail(QStringLiteral("No statement"), 0, QSqlError::StatementError);
        try {
            statement_->Reset();
            const int count = statement_->ParamCount();
            for (int param = 1; param <= count; ++param) {
                const QString name = statement_->ParamName(param);
                statement_->Bind(param, name.isEmpty() ? boundValue(param - 1)
                                                       : boundValue(QLatin1Char(':') + name));
            }
            // The first step runs the statement; its row waits for fetch.
            rowWaiting_ = statement_->Step();
        } catch (const EDatabaseError& error) {
            return Fail(error.Message(), error.EngineCode, QSqlError::StatementError);
        }
        setSelect(statement_->ColumnCount() > 0);
        setActive(true);
        return true;
    }

    bool fetch(int index) override {
        if (!isActive() || index != at() + 1)
            return false;
        bool row = rowWaiting_;
        if (index == 0) {
            rowWaiting_ = false;
        } else {
            try {
                row = statement_->Step();
            } catch (const EDatabaseError& error) {
                return Fail(error.Message(), error.EngineCode, QSqlError::StatementError);
            }
        }
        if (row)
            setAt(index);
        return row;
    }
    bool fetchFirst() override { return at() == QSql::BeforeFirstRow && fetch(0); }
    bool fetchLast() override { return false; }

    int size() override { return -1; }
    int numRowsAffected() override { return static_cast<int>(engine_->Changes()); }

    QSqlRecord record() const override {
        QSqlRecord record;
        if (statement_) {
            for (int column = 0; column < statement_->ColumnCount(); ++column)
                record.append(QSqlField(statement_->ColumnName(column)));
        }
        return record;
    }

private:
    bool Fail(const QString& message, int code, QSqlError::ErrorType type) {
        setLastError(QSqlError(QString(), message, type, QString::number(code)));
        return false;
    }

    EngineConnection* engine_;
    std::optional<TSqlStatement> statement_;
    bool rowWaiting_ = false;
};

} // namespace

EngineSqlDriver::EngineSqlDriver(EngineConnection* engine) : engine_(engine) {
    setOpen(true);
    setOpenError(false);
}

bool EngineSqlDriver::hasFeature(DriverFeature feature) const {
    switch (feature) {
    case PreparedQueries:
    case NamedPlaceholders:
    case PositionalPlaceholders:
    case BLOB:
    case Unicode:
    case LowPrecisionNumbers:
        return true;
    default:
        return false;
    }
}

bool EngineSqlDriver::open(const QString&, const QString&, const QString&, const QString&, int,
                           const QString&) {
    // The engine connection is open already.
    setOpen(engine_ != nullptr);
    return engine_ != nullptr;
}

void EngineSqlDriver::close() {
    setOpen(false);
}

QSqlResult* EngineSqlDriver::createResult() const {
    return new EngineSqlResult(this, engine_);
}
