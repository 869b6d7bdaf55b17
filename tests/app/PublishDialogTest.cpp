// "Publish catalog…" on the "Database management" page.

#include "ModalScript.h"
#include "RowImporter.h"
#include "ShellOpen.h"
#include "TDatabasePage.h"
#include "TFpublish.h"
#include "TempDatabaseTest.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

class PublishDialogTest : public TempDatabaseTest {};

TEST_F(PublishDialogTest, PublishesOpensTheIndexAndRemembersItsTexts) {
    {
        RowImporter structure;
        ASSERT_TRUE(structure.Begin());
        ASSERT_TRUE(structure.Commit());
    }
    Exec("insert into figures (figure_id, figure_name) values ('F', 'Knight')");
    const QString out = folder_.filePath("site");
    QStringList opened;
    ShellOpen::ScopedHook openHook([&opened](const QString& target) { opened << target; });
    TDatabasePage page;
    ModalScript script;
    script.Then([&](QDialog& d) {
        auto& dialog = static_cast<TFpublish&>(d);
        dialog.Edit_folder->setText(out);
        dialog.Edit_title->setText("Knights & more");
        dialog.Memo_introduction->setPlainText("Painted by me.");
        QTest::mouseClick(dialog.btn_publish, Qt::LeftButton);
    });
    QTest::mouseClick(page.btn_publish, Qt::LeftButton);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(opened, QStringList{QDir(out).absoluteFilePath("index.html")});
    const QByteArray index = [&] {
        QFile file(out + "/index.html");
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }();
    EXPECT_NE(index.indexOf("<h1>Knights &amp; more</h1>\n<p>Painted by me.</p>"), -1);

    TFpublish again;
    EXPECT_EQ(again.Edit_folder->text(), out);
    EXPECT_EQ(again.Edit_title->text(), "Knights & more");
    EXPECT_EQ(again.Memo_introduction->toPlainText(), "Painted by me.");
}

} // namespace
