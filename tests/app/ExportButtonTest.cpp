// "Export…" on the "Database management" page.

#include "ModalScript.h"
#include "RowImporter.h"
#include "TDatabasePage.h"
#include "TempDatabaseTest.h"

#include <QDir>
#include <QFileDialog>
#include <QProgressBar>

namespace {

class ExportButtonTest : public TempDatabaseTest {};

TEST_F(ExportButtonTest, WritesTheCatalogIntoTheChosenFolderAndSaysSo) {
    {
        RowImporter structure;
        ASSERT_TRUE(structure.Begin());
        ASSERT_TRUE(structure.Commit());
    }
    Exec("insert into figures (figure_id, figure_name, manual_sheme) values ('F', 'Knight', ?)",
         {QByteArray("<SHEME HEIGHT=\"400\" WIDTH=\"600\" VERSION=\"2\"></SHEME>")});
    const QString out = folder_.filePath("out");
    ASSERT_TRUE(QDir().mkpath(out));
    TDatabasePage page;
    page.show();
    bool progressShown = false;
    ModalScript script;
    script
        .Then([&](QDialog& d) {
            static_cast<QFileDialog&>(d).setDirectory(out);
            d.accept();
        })
        .Then([&](QDialog& d) {
            progressShown = page.PB_export->isVisible();
            ModalScript::Ok(d);
        });
    QTest::mouseClick(page.btn_export, Qt::LeftButton);
    EXPECT_TRUE(script.Done());
    ASSERT_EQ(script.Shown.size(), 2);
    EXPECT_TRUE(script.Shown[1].contains("The catalog has been exported to " +
                                         QDir::toNativeSeparators(out)))
        << script.Shown[1].toStdString();
    EXPECT_FALSE(progressShown);
    EXPECT_TRUE(QFile::exists(out + "/figures.csv"));
    EXPECT_TRUE(QFile::exists(out + "/manuals/F.APSH"));
}

} // namespace
