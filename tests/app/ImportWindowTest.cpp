// The CSV import window and the empty figures page, through real widgets.

#include "DialogRunner.h"
#include "EngineSql.h"
#include "MainWindowFixture.h"
#include "TDatabasePage.h"
#include "TF_import_csv.h"
#include "TFiguresPage.h"
#include "TFmain.h"
#include "TNoFiguresHint.h"
#include "TO_Figures.h"
#include "TSearchGroup.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class ImportWindowTest : public MainWindowFixture {
protected:
    void SetUp() override {
        StartWindow();
        if (HasFatalFailure())
            return;
        window_->RefreshAll();
    }

    QString WriteCsv(const QByteArray& bytes) {
        const QString name = QDir(root_.path()).filePath("figures.csv");
        QFile file(name);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return name;
    }

    QString Figures() {
        QStringList names;
        for (const QVariantList& row :
             SqlRows(window_->DB1, "select figure_name || '/' || ifnull(scale, '-') from figures "
                                   "order by 1"))
            names << row[0].toString();
        return names.join(',');
    }
};

TEST_F(ImportWindowTest, AFileChosenAndMappedByHandComesInAndTheHintGoesAway) {
    TNoFiguresHint* hint = window_->TabSheet_figures->NoFiguresHint;
    ASSERT_TRUE(hint->isVisible());
    EXPECT_FALSE(window_->O_Figures1->isVisible());
    EXPECT_EQ("No figures yet. Press Add (Ins) to record one, or bring a collection in.",
              hint->Label_hint->text());
    EXPECT_EQ("Import…", hint->btn_import->text());

    const QString csv = WriteCsv("Title;Size\r\nHussar;54-mm\r\nKnight;90-mm\r\n");
    QStringList seen;
    DialogRunner::ScopedHook hook([&](QDialog& dialog) {
        if (auto* files = qobject_cast<QFileDialog*>(&dialog)) {
            files->selectFile(csv);
            return int(QDialog::Accepted);
        }
        auto* import = qobject_cast<TF_import_csv*>(&dialog);
        EXPECT_NE(nullptr, import);
        if (!import)
            return int(QDialog::Rejected);
        QTest::mouseClick(import->btn_browse, Qt::LeftButton);
        seen << import->Label_format->text();
        QTableWidget* grid = import->Grid_preview;
        EXPECT_EQ(3, grid->rowCount()) << "the field row and two rows";
        EXPECT_EQ("Knight", grid->item(2, 0)->text());
        // "Size" is named like no field: skipped unless mapped by hand.
        EXPECT_EQ("skip", import->CmB_fields[1]->currentText());
        import->CmB_fields[0]->setCurrentText("figure_name");
        import->CmB_fields[1]->setCurrentText("scale");
        QTest::mouseClick(import->btn_import, Qt::LeftButton);
        seen << import->Memo_summary->toPlainText();
        QTest::mouseClick(import->btn_close, Qt::LeftButton);
        return import->result();
    });
    QTest::mouseClick(hint->btn_import, Qt::LeftButton);

    EXPECT_EQ(QStringList({"Encoding: UTF-8; separator: semicolon; rows: 2",
                           "Figures added: 2; rows skipped: 0.\nManufacturers created: 0; genres "
                           "created: 0."}),
              seen);
    EXPECT_EQ("Hussar/54-mm,Knight/90-mm", Figures());
    EXPECT_FALSE(hint->isVisible());
    EXPECT_TRUE(window_->O_Figures1->isVisible());
    EXPECT_EQ(2, window_->O_Figures1->Q1.RecordCount()) << "the list was refreshed";
}

TEST_F(ImportWindowTest, StopOnTheDatabasePageLeavesTheCatalogEmpty) {
    QByteArray bytes = "figure_name\r\n";
    for (int i = 0; i < 500; ++i)
        bytes += "Figure " + QByteArray::number(i) + "\r\n";
    const QString csv = WriteCsv(bytes);
    QString summary;
    bool stopWasOpen = false;
    int otherDialogs = 0;
    DialogRunner::ScopedHook hook([&](QDialog& dialog) {
        auto* import = qobject_cast<TF_import_csv*>(&dialog);
        if (!import) {
            ++otherDialogs; // Return in the file box must press no button
            return int(QDialog::Rejected);
        }
        import->show(); // buttons are pressed by Return only when shown
        import->Edit_file->setText(csv);
        QTest::keyClick(import->Edit_file, Qt::Key_Return);
        // Pressed while the import runs.
        QTimer::singleShot(0, import, [import, &stopWasOpen] {
            stopWasOpen = import->btn_stop->isEnabled();
            QTest::mouseClick(import->btn_stop, Qt::LeftButton);
        });
        QTest::mouseClick(import->btn_import, Qt::LeftButton);
        summary = import->Memo_summary->toPlainText();
        import->hide();
        return int(QDialog::Rejected);
    });
    window_->PageControl1->setCurrentWidget(window_->TabSheet_BD_mgm);
    QTest::mouseClick(window_->TabSheet_BD_mgm->btn_import, Qt::LeftButton);
    EXPECT_TRUE(stopWasOpen);
    EXPECT_EQ(0, otherDialogs);
    EXPECT_EQ("Stopped; nothing was imported.", summary);
    EXPECT_EQ("", Figures());
}

TEST_F(ImportWindowTest, InsOnTheEmptyFiguresPageAddsAFigure) {
    QStringList shown;
    DialogRunner::ScopedHook hook([&](QDialog& dialog) {
        shown << dialog.metaObject()->className();
        return int(QDialog::Rejected);
    });
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    window_->TabSheet_figures->Search->FocusText();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Insert);
    EXPECT_EQ(QStringList{"TE_figure"}, shown);
    EXPECT_TRUE(window_->TabSheet_figures->NoFiguresHint->isVisible()) << "cancelled: no figure";
}

TEST_F(ImportWindowTest, TheHintComesBackWhenTheLastFigureGoes) {
    RunSql(window_->DB1, "insert into figures (figure_id, figure_name) values ('F1', 'Hussar')");
    window_->RefreshAll();
    EXPECT_FALSE(window_->TabSheet_figures->NoFiguresHint->isVisible());
    RunSql(window_->DB1, "delete from figures");
    window_->RefreshAll();
    EXPECT_TRUE(window_->TabSheet_figures->NoFiguresHint->isVisible());
}

} // namespace
