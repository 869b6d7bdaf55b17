// A user whose role on the catalog's server may only read: the commands
// that would change the catalog say so when they start.

#include "EngineSql.h"
#include "ModalScript.h"
#include "ReadOnlyCatalog.h"
#include "TDatabasePage.h"
#include "TFmain.h"
#include "TFmanual.h"
#include "TO_producers.h"
#include "TProducersPage.h"
#include "TempDatabaseTest.h"

#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QUuid>

#include <memory>

namespace {

class ReadOnlyRoleTest : public ::testing::Test {
protected:
    void SetUp() override {
        server_ = qEnvironmentVariable("VELMORA_TEST_PG");
        if (server_.isEmpty())
            GTEST_SKIP() << "VELMORA_TEST_PG is not set";
        schema_ = QStringLiteral("test_") + QUuid::createUuid().toString(QUuid::Id128);
        role_ = QStringLiteral("reader_") + schema_;
        Admin("create schema " + schema_);
        ASSERT_TRUE(root_.isValid());
        ASSERT_TRUE(QDir(root_.path()).mkdir("bin"));
        previous_ = QDir::currentPath();
        QDir::setCurrent(root_.filePath("bin"));
        window_ = std::make_unique<TFmain>();
        window_->CommandLineCatalog = ServerWithSearchPath(server_, schema_);
        window_->show();
        window_->FormActivate();
        ASSERT_FALSE(window_->StartupPending());
        ASSERT_EQ("", RunSql(window_->DB1, "insert into producers (producer_id, producer_name) "
                                           "values ('P1', 'Airfix')"));
        window_->RefreshAll();
        Admin(QStringLiteral("create role %1").arg(role_));
        Admin(QStringLiteral("grant usage on schema %1 to %2").arg(schema_, role_));
        Admin(QStringLiteral("grant select on all tables in schema %1 to %2").arg(schema_, role_));
    }

    void TearDown() override {
        window_.reset();
        if (!previous_.isEmpty())
            QDir::setCurrent(previous_);
        if (!schema_.isEmpty()) {
            Admin("drop schema " + schema_ + " cascade");
            Admin(QStringLiteral("drop owned by %1 cascade").arg(role_));
            Admin(QStringLiteral("drop role if exists %1").arg(role_));
        }
    }

    void Admin(const QString& statement) {
        QString error;
        const auto admin = EngineConnection::OpenServer(server_, &error);
        ASSERT_TRUE(admin) << error.toStdString();
        admin->Exec(statement.toUtf8());
    }

    QString server_;
    QString schema_;
    QString role_;
    QTemporaryDir root_;
    QString previous_;
    std::unique_ptr<TFmain> window_;
};

TEST_F(ReadOnlyRoleTest, TheCommandsThatWouldChangeTheCatalogSaySo) {
    ASSERT_EQ("", RunSql(window_->DB1, "set role " + role_));
    window_->PageControl1->setCurrentWidget(window_->TabSheet_producers);
    const std::pair<const char*, std::function<void()>> commands[] = {
        {"Add", [&] { window_->TB_addClick(); }},
        {"Edit/Details", [&] { window_->TB_editClick(); }},
        {"Delete", [&] { window_->TB_delClick(); }},
        {"Sheme Ok", [&] { window_->Dialogs.Manual().btn_okClick(); }},
        {"Pack", [&] { window_->TabSheet_BD_mgm->btn_packClick(); }},
    };
    for (const auto& [name, command] : commands) {
        SCOPED_TRACE(name);
        ModalScript script;
        script.Then(ModalScript::Ok);
        command();
        EXPECT_TRUE(script.Done());
        ASSERT_EQ(1, script.Shown.size());
        EXPECT_TRUE(script.Shown[0].endsWith(ReadOnlyCatalog::Message()))
            << script.Shown[0].toStdString();
    }
    ASSERT_EQ("", RunSql(window_->DB1, "reset role"));
    EXPECT_EQ("P1:Airfix",
              window_->O_producers1->KeyValue() + ":" + window_->O_producers1->NameValue());
    EXPECT_EQ(1, SqlRows(window_->DB1, "select count(*) from producers").value(0).value(0).toInt());
}

} // namespace
