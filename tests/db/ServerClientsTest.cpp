#include "EngineTest.h"

#include <QThread>

#include <memory>

// What one client of a server learns of the others: their notifications,
// and what its role may write.
class ServerClients : public EngineTest {
protected:
    void SetUp() override { Open(TestEngine::PostgreSql); }
};

TEST_F(ServerClients, ANotificationArrivesWhenItsTransactionCommits) {
    const std::unique_ptr<EngineConnection> listener = Another();
    ASSERT_EQ(EngineCode::Ok, listener->Listen(QStringLiteral("figures")));
    EXPECT_GE(listener->NotificationSocket(), 0);
    ASSERT_EQ(EngineCode::Ok, Db().Exec("begin"));
    ASSERT_EQ(EngineCode::Ok, Db().Notify(QStringLiteral("figures"), QStringLiteral("figure 7")));
    QThread::msleep(100);
    EXPECT_TRUE(listener->TakeNotifications().isEmpty());
    ASSERT_EQ(EngineCode::Ok, Db().Exec("commit"));
    QList<EngineConnection::Notification> arrived;
    for (int tries = 0; arrived.isEmpty() && tries < 100; ++tries) {
        QThread::msleep(10);
        arrived = listener->TakeNotifications();
    }
    ASSERT_EQ(1, arrived.size());
    EXPECT_EQ(QStringLiteral("figures"), arrived[0].Channel);
    EXPECT_EQ(QStringLiteral("figure 7"), arrived[0].Payload);
}

TEST_F(ServerClients, ARoleThatMayOnlyReadMayNotWrite) {
    Exec(QStringLiteral("create table t (k integer)"));
    const QString role = QStringLiteral("reader_") + schema_;
    Exec(QStringLiteral("create role %1").arg(role));
    Exec(QStringLiteral("grant usage on schema %1 to %2").arg(schema_, role));
    Exec(QStringLiteral("grant select on t to %1").arg(role));
    EXPECT_TRUE(Db().MayWrite(QStringLiteral("t")));
    Exec(QStringLiteral("set role %1").arg(role));
    EXPECT_FALSE(Db().MayWrite(QStringLiteral("t")));
    Exec(QStringLiteral("reset role"));
    Exec(QStringLiteral("drop owned by %1 cascade").arg(role));
    Exec(QStringLiteral("drop role %1").arg(role));
}
