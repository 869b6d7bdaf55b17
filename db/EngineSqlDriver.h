#pragma once

#include <QSqlDriver>

class EngineConnection;

// The toolkit's SQL classes (QSqlQuery) over an engine connection, for the
// live query's select, which reads its rows through them: prepared
// statements with named parameters, read forward only. It opens nothing of
// its own and never outlives the connection it is given.
class EngineSqlDriver final : public QSqlDriver {
public:
    explicit EngineSqlDriver(EngineConnection* engine);

    bool hasFeature(DriverFeature feature) const override;
    bool open(const QString& db, const QString& user, const QString& password, const QString& host,
              int port, const QString& options) override;
    void close() override;
    QSqlResult* createResult() const override;

private:
    EngineConnection* engine_;
};
