// Packing from the "Database management" page and through velmora-tool pack.

#include "DataFolderLock.h"
#include "DialogRunner.h"
#include "EngineSql.h"
#include "RawSqlite.h"
#include "TDatabasePage.h"
#include "TDmsg.h"
#include "TFmain.h"
#include "TFsure.h"
#include "TO_producers.h"
#include "TablePacker.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <memory>
#include <utility>

namespace {

const QStringList PackedHistory = {"--- Primary keys checking and tables packing ---",
                                   "  Genres...",
                                   "  Producers...",
                                   "  Figures...",
                                   "  Additional images...",
                                   "Done"};

// Another program on the catalog, holding it in a transaction of its own.
class OtherProgram {
public:
    explicit OtherProgram(const QString& file) { sqlite3_open(QFile::encodeName(file), &db_); }
    ~OtherProgram() { sqlite3_close(db_); }
    bool Lock() { return sqlite3_exec(db_, "begin exclusive", nullptr, nullptr, nullptr) == 0; }
    void Unlock() { sqlite3_exec(db_, "rollback", nullptr, nullptr, nullptr); }

private:
    sqlite3* db_ = nullptr;
};

class PackTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root_.isValid());
        ASSERT_TRUE(QDir(root_.path()).mkdir("bin"));
        previous_ = QDir::currentPath();
        QDir::setCurrent(root_.filePath("bin"));
        window_ = std::make_unique<TFmain>();
        window_->show();
        window_->FormActivate();
        ASSERT_FALSE(window_->StartupPending());
        Exec("insert into producers (producer_id, producer_name) values ('P1', 'Alpha')");
        // A deleted picture leaves its space in the file.
        Exec("insert into add_pictures (add_picture_id, picture) values ('A1', "
             "zeroblob(3000000))");
        Exec("delete from add_pictures");
        window_->RefreshAll();
        window_->PageControl1->setCurrentWidget(page());
    }
    void TearDown() override {
        window_.reset();
        QDir::setCurrent(previous_);
    }

    TDatabasePage* page() const { return window_->TabSheet_BD_mgm; }
    QString File() const { return QFileInfo(window_->DB1.FileName()).absoluteFilePath(); }
    qint64 FileSize() const { return QFileInfo(File()).size(); }
    QStringList History() const {
        const QString text = page()->Memo1->toPlainText();
        return text.isEmpty() ? QStringList() : text.split('\n');
    }
    void Exec(const QString& statement) {
        const QString error = RunSql(window_->DB1, statement);
        ASSERT_TRUE(error.isEmpty()) << statement.toStdString() << ": " << error.toStdString();
    }
    int FreePages() {
        const QVariant count = SqlScalar(window_->DB1, "pragma freelist_count");
        return count.isValid() ? count.toInt() : -1;
    }
    std::pair<int, QByteArray> Tool(const QString& args) const {
        const QString out = root_.filePath("out");
        const int status = std::system(QFile::encodeName(
            QStringLiteral("'%1' pack %2 >'%3' 2>/dev/null").arg(VELMORA_TOOL_PATH, args, out)));
        QFile file(out);
        file.open(QIODevice::ReadOnly);
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, file.readAll()};
    }

    QTemporaryDir root_;
    QString previous_;
    std::unique_ptr<TFmain> window_;
    bool answer_ = true;
    QStringList shown_;
    DialogRunner::ScopedHook hook_{[this](QDialog& dialog) {
        if (auto* sure = qobject_cast<TFsure*>(&dialog)) {
            shown_ << sure->Question->text();
            (answer_ ? sure->btn_yes : sure->btn_no)->click();
            return sure->result();
        }
        if (auto* message = qobject_cast<TDmsg*>(&dialog))
            shown_ << message->Label->text();
        return int(QDialog::Accepted);
    }};
};

TEST_F(PackTest, PackingWritesTheHistoryReclaimsSpaceAndReopensTheLists) {
    const qint64 before = FileSize();
    answer_ = false;
    QTest::mouseClick(page()->btn_pack, Qt::LeftButton);
    EXPECT_EQ(QStringList{"Pack database now?"}, shown_);
    EXPECT_EQ(QStringList(), History());
    EXPECT_EQ(before, FileSize());
    EXPECT_TRUE(window_->O_producers1->Q1.Active());

    answer_ = true;
    for (int run = 0; run < 2; ++run) {
        shown_.clear();
        QTest::mouseClick(page()->btn_pack, Qt::LeftButton);
        EXPECT_EQ((QStringList{"Pack database now?", "Packing OK"}), shown_);
        EXPECT_EQ(PackedHistory, History());
        QTest::mouseClick(page()->Label_clear_history, Qt::LeftButton);
        EXPECT_EQ(QStringList(), History());
    }
    EXPECT_LT(FileSize(), before - 2000000);
    EXPECT_EQ(0, FreePages());
    ASSERT_TRUE(window_->O_producers1->Q1.Active());
    EXPECT_EQ(1, window_->O_producers1->Q1.RecordCount());
}

TEST_F(PackTest, TableHeldByAnotherProgramFailsAloneAndTheRunGoesOn) {
    OtherProgram other(File());
    QPlainTextEdit* memo = page()->Memo1;
    const QMetaObject::Connection watch =
        QObject::connect(memo, &QPlainTextEdit::textChanged, memo, [&] {
            const QString line = memo->document()->lastBlock().text();
            if (line == "  Figures...")
                EXPECT_TRUE(other.Lock());
            else if (line == "  Additional images...")
                other.Unlock();
        });
    QTest::mouseClick(page()->btn_pack, Qt::LeftButton);
    QObject::disconnect(watch);
    EXPECT_EQ((QStringList{"Pack database now?", "Packing finished with errors. See the history."}),
              shown_);
    QStringList lines = History();
    ASSERT_EQ(7, lines.size()) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.takeAt(4).startsWith("!!! Can not fix the problem : figures:database is "
                                           "locked"));
    EXPECT_EQ(PackedHistory, lines);
    EXPECT_EQ(0, FreePages());
}

TEST_F(PackTest, CompactingWithoutRoomOnTheDiskLeavesTheFile) {
    window_->CloseDatabase();
    const qint64 size = FileSize();
    TablePacker packer(window_->DB1.DatabaseName());
    packer.FreeSpace = [](const QString&) { return qint64(1048576); };
    QStringList lines;
    EXPECT_FALSE(packer.Pack([&lines](const QString& line) { lines << line; }));
    EXPECT_EQ(PackedHistory.mid(0, 5), lines.mid(0, 5));
    EXPECT_EQ(QStringList{QStringLiteral("!!! Not enough disk space to compact the catalog: 1 MB "
                                         "free, %1 MB needed")
                              .arg((size + 1048575) / 1048576)},
              lines.mid(5));
    EXPECT_EQ(size, FileSize());
    EXPECT_LT(0, FreePages());
}

TEST_F(PackTest, ToolWritesTheHistoryAndExitsWithTheResult) {
    window_->CloseDatabase();
    const QString folder = "'" + QFileInfo(File()).absolutePath() + "'";
    EXPECT_EQ(std::make_pair(0, PackedHistory.join('\n').toUtf8() + "\n"), Tool(folder));
    {
        OtherProgram other(File());
        ASSERT_TRUE(other.Lock());
        const auto [code, out] = Tool(folder);
        EXPECT_EQ(1, code);
        EXPECT_EQ(5, out.count("!!! Can not fix the problem : ")) << out.toStdString();
        EXPECT_TRUE(out.contains("\n!!! Can not fix the problem : velmora.db:database is "
                                 "locked"));
        EXPECT_TRUE(out.endsWith("\nDone\n"));
    }
    DataFolderLock program;
    ASSERT_TRUE(program.Acquire(QFile::encodeName(QFileInfo(File()).absolutePath()).toStdString()));
    EXPECT_EQ(std::make_pair(6, QByteArray()), Tool(folder));
    EXPECT_EQ(64, Tool("").first);
}

} // namespace
