// "Print…", "Export PDF…" and "Sheet" on the figures page, on a seeded
// catalog, with the preview and file dialogs answered.

#include "../export/PdfText.h"
#include "DialogRunner.h"
#include "EngineSql.h"
#include "MainWindowFixture.h"
#include "TFiguresPage.h"
#include "TFilterGroup.h"
#include "TFmain.h"

#include <QAction>
#include <QCheckBox>
#include <QFileDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class PaperPrintTest : public MainWindowFixture {
protected:
    void SetUp() override {
        StartWindow();
        if (HasFatalFailure())
            return;
        for (const char* statement :
             {"insert into genres (genre_id, genre_name) values ('G1', 'Napoleonic'), "
              "('G2', 'Medieval')",
              "insert into figures (figure_id, figure_name, genre_id) values "
              "('F1', 'Hussar', 'G1'), ('F2', 'Knight', 'G2'), ('F3', 'Grenadier', 'G1')"})
            ASSERT_EQ(RunSql(window_->DB1, QString::fromUtf8(statement)), QString()) << statement;
        window_->RefreshAll();
        page_ = window_->TabSheet_figures;
    }

    // The pages the preview shows, and the preview closed.
    int PreviewPages(const std::function<void()>& command) {
        int pages = -1;
        DialogRunner::ScopedHook hook([&](QDialog& dialog) {
            auto* preview = dialog.findChild<QPrintPreviewWidget*>();
            if (qobject_cast<QPrintPreviewDialog*>(&dialog) && preview) {
                preview->updatePreview();
                pages = preview->pageCount();
            }
            return int(QDialog::Rejected);
        });
        command();
        return pages;
    }

    TFiguresPage* page_ = nullptr;
};

TEST_F(PaperPrintTest, ExportPdfWritesTheFiguresTheListShows) {
    page_->FilterGroup->CBFgenre->setChecked(true);
    ASSERT_TRUE(TFilterGroup::SelectKey(page_->FilterGroup->DBLgenres, "G1"));
    page_->btn_apply_filterClick();
    const QString out = QDir(root_.path()).filePath("catalog.pdf");
    DialogRunner::ScopedHook hook([&](QDialog& dialog) {
        static_cast<QFileDialog&>(dialog).selectFile(out);
        dialog.accept();
        return dialog.result();
    });
    QTest::mouseClick(page_->btn_export_pdf, Qt::LeftButton);
    const QString text = PdfText(out);
    EXPECT_EQ(Matches(text, "(?m)^(Hussar|Knight|Grenadier)$").join(' '), "Grenadier Hussar");
    EXPECT_TRUE(text.contains("Figures: Napoleonic")) << text.toStdString();
}

TEST_F(PaperPrintTest, PrintAndSheetGoThroughThePreview) {
    EXPECT_EQ(PreviewPages([&] { QTest::mouseClick(page_->btn_print, Qt::LeftButton); }), 1);
    ASSERT_TRUE(window_->TB_sheet->isEnabled());
    EXPECT_EQ(PreviewPages([&] { window_->TB_sheet->trigger(); }), 1);
    window_->PageControl1->setCurrentIndex(3);
    EXPECT_FALSE(window_->TB_sheet->isEnabled());
}

TEST_F(PaperPrintTest, TooManyPagesToPreviewGoStraightToThePrintDialog) {
    ASSERT_EQ(RunSql(window_->DB1, "with recursive n(i) as (select 1 union all select i + 1 from n "
                                   "where i < 4000) insert into figures (figure_id, figure_name) "
                                   "select 'M' || i, 'Many ' || i from n"),
              QString());
    page_->btn_apply_filterClick();
    QStringList shown;
    DialogRunner::ScopedHook hook([&](QDialog& dialog) {
        shown << dialog.metaObject()->className();
        return int(QDialog::Rejected);
    });
    QTest::mouseClick(page_->btn_print, Qt::LeftButton);
    EXPECT_EQ(shown, QStringList{"QPrintDialog"});
}

} // namespace
