// The main window on a seeded catalog, driven through its real controls.

#include "DialogRunner.h"
#include "EngineSql.h"
#include "JpegEncoder.h"
#include "MainWindowFixture.h"
#include "TDBEdit.h"
#include "TDBLookupComboBox.h"
#include "TDatabasePage.h"
#include "TDmsg.h"
#include "TE_figure.h"
#include "TE_genre.h"
#include "TE_producer.h"
#include "TF_big_view.h"
#include "TFiguresPage.h"
#include "TFilterGroup.h"
#include "TFmain.h"
#include "TFsure.h"
#include "TGenresPage.h"
#include "TImageView.h"
#include "TO_Figures.h"
#include "TO_genres.h"
#include "TO_producers.h"
#include "TP_Edit.h"
#include "TProducersPage.h"
#include "TRecordGrid.h"
#include "TSearchGroup.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

namespace {

// Answers every dialog: messages are recorded and closed, questions get
// the prepared answer, editors are cancelled unless told otherwise.
struct DialogAnswers {
    QStringList messages;
    QStringList questions;
    bool answer = true;
    std::function<int(QDialog&)> editor = [](QDialog&) { return int(QDialog::Rejected); };

    int operator()(QDialog& dialog) {
        if (auto* message = qobject_cast<TDmsg*>(&dialog)) {
            messages << message->Label->text();
            return QDialog::Accepted;
        }
        if (auto* sure = qobject_cast<TFsure*>(&dialog)) {
            questions << sure->Question->text();
            if (answer)
                sure->btn_yes->click();
            else
                sure->btn_no->click();
            return sure->result();
        }
        return editor(dialog);
    }
};

class MainWindowTest : public MainWindowFixture {
protected:
    void SetUp() override {
        StartWindow();
        if (HasFatalFailure())
            return;
        Seed();
        window_->RefreshAll();
    }

    void Exec(const QString& statement) {
        const QString error = RunSql(window_->DB1, statement);
        ASSERT_TRUE(error.isEmpty()) << statement.toStdString() << ": " << error.toStdString();
    }
    int Count(const QString& statement) {
        const QVariant count = SqlScalar(window_->DB1, statement);
        return count.isValid() ? count.toInt() : -1;
    }

    void Seed() {
        Exec("insert into producers (producer_id, producer_name, producer_website) values "
             "('P1', 'Alpha Miniatures', 'www.alpha.example'), "
             "('P2', 'Beta Castings', 'http://beta.example')");
        Exec("insert into genres (genre_id, genre_name) values ('G1', 'Napoleonic'), "
             "('G2', 'Medieval'), ('G3', 'Unused')");
        Exec("insert into figures (figure_id, figure_name, producer_id, genre_id, type_ci, "
             "scale, figure_dsc, sculpter_name) values "
             "('F1', 'Hussar', 'P1', 'G1', 'cavalry', '54-mm', 'red dolman', 'Ivanov'), "
             "('F2', 'Knight', 'P2', 'G2', 'cavalry', '90-mm', 'plate armour', 'Petrov'), "
             "('F3', 'Grenadier', 'P1', 'G1', 'infantry', '54-mm', 'bearskin', 'Sidorov'), "
             "('F4', 'Archer', 'P2', 'G2', 'infantry', '90-mm', 'long bow', 'Ivanov')");
    }

    QStringList FigureNames() {
        QStringList names;
        TQuery& q = window_->O_Figures1->Q1;
        for (int row = 0; row < q.RecordCount(); ++row)
            names << q.ValueAt(row, q.FieldIndex("figure_name")).toString();
        return names;
    }

    // The line before "order by".
    QString FilterLine() const {
        const QStringList& lines = window_->O_Figures1->Q1.SQL;
        return lines.at(lines.size() - 2);
    }

    DialogAnswers answers_;
    DialogRunner::ScopedHook hook_{[this](QDialog& dialog) { return answers_(dialog); }};
};

TEST_F(MainWindowTest, FilterConditionsFollowTheTickedBoxes) {
    TFilterGroup& filter = *window_->TabSheet_figures->FilterGroup;
    EXPECT_EQ("54-mm", filter.CmBFScale->currentText());
    EXPECT_EQ("cavalry", filter.CmBFcavalry->currentText());
    EXPECT_EQ("", FilterLine());
    EXPECT_EQ((QStringList{"Archer", "Grenadier", "Hussar", "Knight"}), FigureNames());
    EXPECT_EQ("4", filter.Label_records_filtered->text());
    EXPECT_FALSE(filter.DBLgenres->isEnabled());

    filter.CBFgenre->click();
    EXPECT_TRUE(filter.DBLgenres->isEnabled());
    TFilterGroup::SelectKey(filter.DBLgenres, "G1");
    filter.CBFcavalry->click();
    QTest::mouseClick(filter.btn_apply_filter, Qt::LeftButton);
    EXPECT_EQ(" where f.genre_id='G1' and f.type_ci='cavalry'", FilterLine());
    EXPECT_EQ((QStringList{"Hussar"}), FigureNames());
    EXPECT_EQ("1", filter.Label_records_filtered->text());

    filter.CBFgenre->click();
    filter.CBFcavalry->click();
    filter.CBFproducer->click();
    TFilterGroup::SelectKey(filter.DBLproducers, "P2");
    filter.CBFscale->click();
    filter.CmBFScale->setCurrentText("90-mm");
    QTest::mouseClick(filter.btn_apply_filter, Qt::LeftButton);
    EXPECT_EQ(" where f.producer_id='P2' and f.scale='90-mm'", FilterLine());
    EXPECT_EQ((QStringList{"Archer", "Knight"}), FigureNames());

    // A page change keeps every box's choice, and the list filtered by it.
    window_->PageControl1->setCurrentIndex(1);
    window_->PageControl1->setCurrentIndex(0);
    EXPECT_EQ("90-mm", filter.CmBFScale->currentText());
    EXPECT_EQ("P2", filter.DBLproducers->currentData().toString());
    EXPECT_EQ(" where f.producer_id='P2' and f.scale='90-mm'", FilterLine());

    // A value with a quote in it neither breaks nor widens the condition.
    filter.CmBFScale->setEditable(true);
    filter.CmBFScale->setEditText("x' or 'a'='a");
    QTest::mouseClick(filter.btn_apply_filter, Qt::LeftButton);
    EXPECT_TRUE(FigureNames().isEmpty());
    EXPECT_TRUE(answers_.messages.isEmpty());
}

TEST_F(MainWindowTest, TheStatusFilterListsTheFiguresOfThatStatus) {
    Exec("insert into figure_collection (figure_id, collection_status) values "
         "('F1', 'finished'), ('F3', 'painting'), ('F4', 'finished')");
    TFilterGroup& filter = *window_->TabSheet_figures->FilterGroup;
    EXPECT_EQ("wanted", filter.CmBFstatus->currentText());
    EXPECT_FALSE(filter.CmBFstatus->isEnabled());

    filter.CBFstatus->click();
    filter.CmBFstatus->setCurrentText("finished");
    QTest::mouseClick(filter.btn_apply_filter, Qt::LeftButton);
    EXPECT_EQ(" where c.collection_status='finished'", FilterLine());
    EXPECT_EQ((QStringList{"Archer", "Hussar"}), FigureNames());
    EXPECT_EQ("2", filter.Label_records_filtered->text());

    filter.CBFgenre->click();
    TFilterGroup::SelectKey(filter.DBLgenres, "G1");
    QTest::mouseClick(filter.btn_apply_filter, Qt::LeftButton);
    EXPECT_EQ((QStringList{"Hussar"}), FigureNames());

    // "Filter figures" starts from a clean filter.
    window_->TabSheet_figures->FilterBy(true, "P2");
    EXPECT_FALSE(filter.CBFstatus->isChecked());
    EXPECT_EQ((QStringList{"Archer", "Knight"}), FigureNames());
}

TEST_F(MainWindowTest, ToolbarFollowsThePageAndTheList) {
    EXPECT_TRUE(window_->TB_del->isEnabled());
    EXPECT_TRUE(window_->TB_first->isEnabled());
    window_->PageControl1->setCurrentIndex(1);
    EXPECT_TRUE(window_->TB_add->isEnabled());
    EXPECT_TRUE(window_->TB_edit->isEnabled());
    window_->PageControl1->setCurrentIndex(5);
    for (QAction* action : {window_->TB_add, window_->TB_edit, window_->TB_del, window_->TB_first,
                            window_->TB_last, window_->TB_html_export, window_->TB_sheme})
        EXPECT_FALSE(action->isEnabled()) << action->text().toStdString();
    EXPECT_TRUE(window_->TB_about->isEnabled());

    // An empty list: only "Add".
    Exec("delete from producers");
    window_->RefreshAll();
    window_->PageControl1->setCurrentIndex(1);
    EXPECT_TRUE(window_->TB_add->isEnabled());
    EXPECT_FALSE(window_->TB_del->isEnabled());
    EXPECT_FALSE(window_->TB_edit->isEnabled());
    EXPECT_FALSE(window_->TB_last->isEnabled());
}

TEST_F(MainWindowTest, CancellingTheEditorRightAfterAddLeavesNoRow) {
    window_->PageControl1->setCurrentIndex(1);
    window_->TB_add->trigger();
    EXPECT_EQ(2, window_->O_producers1->Q1.RecordCount());
    EXPECT_EQ(2, Count("select count(*) from producers"));

    // Saved: the row stays, with the name typed in.
    answers_.editor = [](QDialog& dialog) {
        auto* editor = qobject_cast<TE_producer*>(&dialog);
        if (!editor)
            return int(QDialog::Rejected);
        editor->DBEdit_name->setFocus();
        editor->DBEdit_name->selectAll();
        QTest::keyClicks(editor->DBEdit_name, "Gamma Figures");
        editor->btn_ok->click();
        return editor->result();
    };
    window_->TB_add->trigger();
    EXPECT_EQ(1, Count("select count(*) from producers where producer_name = 'Gamma Figures'"));
    EXPECT_EQ("Gamma Figures", window_->O_producers1->NameValue());
}

TEST_F(MainWindowTest, CancellingAfterAddDeletesTheNewRowEvenWhenTheListHasMoved) {
    // While the editor is open the list moves to its first record (a
    // wheel step that was still due, say); Cancel deletes the new row only.
    struct Page {
        int index;
        TO_ci* list;
        QString table;
        QString key;
    };
    const Page pages[] = {{0, window_->O_Figures1, "figures", "figure_id"},
                          {1, window_->O_producers1, "producers", "producer_id"},
                          {2, window_->O_genres1, "genres", "genre_id"}};
    for (const Page& page : pages) {
        window_->PageControl1->setCurrentIndex(page.index);
        const int before = Count("select count(*) from " + page.table);
        page.list->Q1.Last();
        const QString first =
            page.list->Q1.ValueAt(0, page.list->Q1.FieldIndex(page.key)).toString();
        answers_.editor = [&](QDialog&) {
            page.list->Q1.First();
            return int(QDialog::Rejected);
        };
        window_->TB_add->trigger();
        EXPECT_EQ(before, Count("select count(*) from " + page.table)) << page.table.toStdString();
        EXPECT_EQ(1, Count("select count(*) from " + page.table + " where " + page.key + " = '" +
                           first + "'"))
            << page.table.toStdString();
        EXPECT_EQ(before, page.list->Q1.RecordCount());
    }
    EXPECT_TRUE(answers_.messages.isEmpty());
}

TEST_F(MainWindowTest, AnAddTheTableRefusesSaysWhyAndLeavesNothingBehind) {
    Exec("create trigger refuse before insert on producers "
         "begin select raise(abort, 'no new manufacturers'); end");
    window_->PageControl1->setCurrentIndex(1);
    TO_producers* list = window_->O_producers1;
    QStringList shown;
    const DialogRunner::ScopedMessageHook messages([&](const QString& text) { shown << text; });
    // No editor opens on a row that is not in the table.
    answers_.editor = [](QDialog&) {
        ADD_FAILURE() << "an editor opened";
        return int(QDialog::Rejected);
    };
    window_->TB_add->trigger();
    EXPECT_EQ((QStringList{"The record was not added:\n\nno new manufacturers"}), shown);
    EXPECT_EQ(2, Count("select count(*) from producers"));
    EXPECT_EQ(2, list->Q1.RecordCount());
    EXPECT_EQ(TDataSetState::Browse, list->Q1.State());
    EXPECT_FALSE(list->Q1.UpdatesPending());
}

TEST_F(MainWindowTest, ManufacturersAndGenresInUseCannotBeDeleted) {
    window_->PageControl1->setCurrentIndex(2);
    ASSERT_TRUE(window_->O_genres1->LocateKey("G2"));
    window_->TB_del->trigger();
    EXPECT_EQ((QStringList{"Can't delete \nthe \"Medieval\";\nit's reffered by other "
                           "table(s)\n(Figures)."}),
              answers_.messages);
    EXPECT_EQ(1, Count("select count(*) from genres where genre_id = 'G2'"));

    // Once its figures are gone it can be deleted, after the question.
    window_->PageControl1->setCurrentIndex(0);
    ASSERT_TRUE(window_->O_Figures1->LocateKey("F2"));
    window_->TB_del->trigger();
    ASSERT_TRUE(window_->O_Figures1->LocateKey("F4"));
    window_->TB_del->trigger();
    EXPECT_EQ(0, Count("select count(*) from figures where genre_id = 'G2'"));
    window_->PageControl1->setCurrentIndex(2);
    ASSERT_TRUE(window_->O_genres1->LocateKey("G2"));
    answers_.questions.clear();
    window_->TB_del->trigger();
    EXPECT_EQ((QStringList{"Delete \n\"Medieval\"?"}), answers_.questions);
    EXPECT_EQ(0, Count("select count(*) from genres where genre_id = 'G2'"));

    // Answering No keeps the record.
    answers_.answer = false;
    ASSERT_TRUE(window_->O_genres1->LocateKey("G3"));
    window_->TB_del->trigger();
    EXPECT_EQ(1, Count("select count(*) from genres where genre_id = 'G3'"));
}

TEST_F(MainWindowTest, SearchStepsFromTheCurrentFigureWithoutWrapping) {
    TSearchGroup& search = *window_->TabSheet_figures->Search;
    TO_Figures& list = *window_->O_Figures1;
    search.Edit_search->setText("  ivanov ");
    list.Q1.First(); // Archer, by Ivanov
    QTest::mouseClick(search.Btn_go, Qt::LeftButton);
    EXPECT_EQ("Hussar", list.NameValue());
    QTest::mouseClick(search.Btn_go, Qt::LeftButton);
    EXPECT_EQ("Hussar", list.NameValue());
    EXPECT_EQ((QStringList{"Context\n\"IVANOV\"\nnot found."}), answers_.messages);

    search.RB_up->click();
    QTest::mouseClick(search.Btn_go, Qt::LeftButton);
    EXPECT_EQ("Archer", list.NameValue());
}

TEST_F(MainWindowTest, TwoWheelNotchesWithinAStepMoveOnceTheSecondWay) {
    TO_Figures& list = *window_->O_Figures1;
    list.Q1.MoveTo(1);
    auto wheel = [&](int delta) {
        QWidget* target = list.CGrid1->viewport();
        const QPointF at(10, 10);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        static quint64 timestamp = 1000;
        event.setTimestamp(++timestamp);
        QApplication::sendEvent(target, &event);
    };
    wheel(-120);
    wheel(120);
    QTest::qWait(60);
    EXPECT_EQ(0, list.Q1.RecNo());

    // On "Database management" the wheel does nothing.
    window_->PageControl1->setCurrentIndex(5);
    list.Q1.MoveTo(1);
    wheel(-120);
    QTest::qWait(40);
    EXPECT_EQ(1, list.Q1.RecNo());
}

TEST_F(MainWindowTest, FilterFiguresShowsTheCurrentManufacturersFigures) {
    window_->PageControl1->setCurrentIndex(1);
    ASSERT_TRUE(window_->O_producers1->LocateKey("P1"));
    QTest::mouseClick(window_->TabSheet_producers->Btn_producer_filter, Qt::LeftButton);
    EXPECT_EQ(window_->TabSheet_figures, window_->PageControl1->currentWidget());
    EXPECT_TRUE(window_->TabSheet_figures->FilterGroup->CBFproducer->isChecked());
    EXPECT_EQ((QStringList{"Grenadier", "Hussar"}), FigureNames());

    Exec("delete from genres");
    window_->RefreshAll();
    window_->PageControl1->setCurrentIndex(2);
    QTest::mouseClick(window_->TabSheet_genres->Btn_gente_filter, Qt::LeftButton);
    EXPECT_EQ((QStringList{"No genre selected"}), answers_.messages);
}

} // namespace

TEST_F(MainWindowTest, ThumbnailClickShowsTheFullPictureOrAsksToEdit) {
    TO_Figures* list = window_->O_Figures1;
    ASSERT_TRUE(list->LocateKey("F1"));
    const auto clickThumbnail = [&] {
        const QRect panel = list->CGrid1->PanelRect(list->CGrid1->PanelIndex());
        QTest::mouseClick(list->CGrid1->viewport(), Qt::LeftButton, {},
                          TO_Figures::ThumbnailRect(panel).center());
    };
    clickThumbnail();
    EXPECT_EQ(answers_.questions,
              QStringList{"Full size image is not avaliable. Edit the record now?"});

    QImage picture(70, 50, QImage::Format_RGB888);
    picture.fill(Qt::darkGreen);
    ASSERT_EQ("", RunSql(window_->DB1, "update figures set picture = ? where figure_id = 'F1'",
                         {PictureToJpegBytes(picture)})
                      .toStdString());
    QSize shown;
    answers_.editor = [&](QDialog& dialog) {
        auto* viewer = qobject_cast<TF_big_view*>(&dialog);
        EXPECT_NE(viewer, nullptr);
        if (viewer != nullptr)
            shown = viewer->Image1->size();
        return int(QDialog::Rejected);
    };
    clickThumbnail();
    EXPECT_EQ(shown, QSize(70, 50));
    EXPECT_EQ(answers_.questions.size(), 1);
}

TEST_F(MainWindowTest, FiguresAndGenresAreAddedAndEditedInTheirEditors) {
    QStringList shown;
    answers_.editor = [&](QDialog& dialog) {
        shown << dialog.metaObject()->className();
        return int(QDialog::Rejected);
    };
    // Add, then Cancel: the new row goes again, on both pages.
    window_->TB_add->trigger();
    window_->PageControl1->setCurrentIndex(2);
    window_->TB_add->trigger();
    EXPECT_EQ(shown, (QStringList{"TE_figure", "TE_genre"}));
    EXPECT_EQ(4, Count("select count(*) from figures"));
    EXPECT_EQ(3, Count("select count(*) from genres"));

    // A double click on a figure's texts, and Yes to the question after a
    // thumbnail click on a figure without a picture, edit that figure.
    window_->PageControl1->setCurrentIndex(0);
    TO_Figures* list = window_->O_Figures1;
    ASSERT_TRUE(list->LocateKey("F1"));
    const QRect panel = list->CGrid1->PanelRect(list->CGrid1->PanelIndex());
    shown.clear();
    QTest::mouseDClick(list->CGrid1->viewport(), Qt::LeftButton, {},
                       TO_Figures::TextRect(panel).center());
    QTest::mouseClick(list->CGrid1->viewport(), Qt::LeftButton, {},
                      TO_Figures::ThumbnailRect(panel).center());
    EXPECT_EQ(shown, (QStringList{"TE_figure", "TE_figure"}));

    // Another manufacturer chosen shows in the list at once.
    answers_.editor = [](QDialog& dialog) {
        auto* editor = qobject_cast<TE_figure*>(&dialog);
        if (!editor)
            return int(QDialog::Rejected);
        QTest::keyClick(editor->DBL_producer, Qt::Key_Down);
        editor->btn_ok->click();
        return editor->result();
    };
    window_->TB_edit->trigger();
    EXPECT_EQ(list->FieldValue("producer_name"), "Beta Castings");
    EXPECT_EQ(1,
              Count("select count(*) from figures where figure_id = 'F1' and producer_id = 'P2'"));
}

namespace {

void SendWheel(QWidget* target, int delta) {
    static quint64 timestamp = 5000;
    const QPointF at(5, 5);
    QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    event.setTimestamp(++timestamp);
    QApplication::sendEvent(target, &event);
}

} // namespace

TEST_F(MainWindowTest, KeysOnAListDoWhatTheToolbarDoes) {
    // The keys go to the grid with the focus, in the active window (which a
    // closed popup may leave inactive on this platform).
    const auto focus = [this](QWidget* grid) {
        window_->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window_.get()));
        grid->setFocus();
    };
    QStringList shown;
    answers_.editor = [&](QDialog& dialog) {
        shown << dialog.metaObject()->className();
        return int(QDialog::Rejected);
    };
    answers_.answer = false;
    struct Page {
        int index;
        TO_ci* list;
        TSearchGroup* search;
        QString editor;
    };
    const Page pages[] = {
        {0, window_->O_Figures1, window_->TabSheet_figures->Search, "TE_figure"},
        {1, window_->O_producers1, window_->TabSheet_producers->Search, "TE_producer"},
        {2, window_->O_genres1, window_->TabSheet_genres->Search, "TE_genre"}};
    for (const Page& page : pages) {
        SCOPED_TRACE(page.editor.toStdString());
        window_->PageControl1->setCurrentIndex(page.index);
        QWidget* grid = page.list->CGrid1;
        focus(grid);
        const int rows = page.list->Q1.RecordCount();
        shown.clear();
        for (Qt::Key key : {Qt::Key_Insert, Qt::Key_Return, Qt::Key_Enter, Qt::Key_F2})
            QTest::keyClick(grid, key);
        EXPECT_EQ(QStringList(4, page.editor), shown);
        EXPECT_EQ(rows, page.list->Q1.RecordCount());

        // Delete asks first (or says why it may not); No keeps the record.
        answers_.questions.clear();
        answers_.messages.clear();
        QTest::keyClick(grid, Qt::Key_Delete);
        const QStringList said = answers_.questions + answers_.messages;
        ASSERT_EQ(1, said.size());
        EXPECT_TRUE(said.front().contains(page.list->NameValue()));
        EXPECT_EQ(rows, page.list->Q1.RecordCount());

        // The context-menu key and Shift+F10 open the menu over the current
        // panel, wherever the mouse is.
        page.list->Q1.First();
        const QRect panel = page.list->CGrid1->PanelRect(page.list->CGrid1->PanelIndex());
        const QRect onScreen(page.list->CGrid1->viewport()->mapToGlobal(panel.topLeft()),
                             panel.size());
        for (const QKeyCombination keys :
             {QKeyCombination(Qt::Key_Menu), QKeyCombination(Qt::ShiftModifier, Qt::Key_F10)}) {
            QTest::keyClick(grid, keys.key(), keys.keyboardModifiers());
            EXPECT_TRUE(window_->PopupMenu1->isVisible());
            EXPECT_TRUE(onScreen.contains(window_->PopupMenu1->pos()));
            window_->PopupMenu1->close();
            focus(grid);
        }

        // Ctrl+F: the cursor in the page's search box.
        QTest::keyClick(grid, Qt::Key_F, Qt::ControlModifier);
        EXPECT_TRUE(page.search->Edit_search->hasFocus());
    }
    EXPECT_EQ("Add (Ins)", window_->TB_add->toolTip());
    EXPECT_EQ("Edit/Details (Enter, F2)", window_->TB_edit->toolTip());
    EXPECT_EQ("Delete (Del)", window_->TB_del->toolTip());
}

TEST_F(MainWindowTest, F3SearchesAgainTheChosenWay) {
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    TO_Figures& list = *window_->O_Figures1;
    TSearchGroup& search = *window_->TabSheet_figures->Search;
    search.Edit_search->setText("ivanov");
    list.Q1.First(); // Archer, by Ivanov
    list.CGrid1->setFocus();
    QTest::keyClick(list.CGrid1, Qt::Key_F3);
    EXPECT_EQ("Hussar", list.NameValue());
    search.RB_up->click();
    list.CGrid1->setFocus();
    QTest::keyClick(list.CGrid1, Qt::Key_F3);
    EXPECT_EQ("Archer", list.NameValue());
    EXPECT_TRUE(answers_.messages.isEmpty());
}

TEST_F(MainWindowTest, TheWheelOverAControlThatUsesItLeavesTheListAlone) {
    TO_Figures& list = *window_->O_Figures1;
    TFilterGroup& filter = *window_->TabSheet_figures->FilterGroup;
    filter.CBFscale->click();
    ASSERT_TRUE(filter.CmBFScale->isEnabled());
    list.Q1.MoveTo(1);
    const QString scale = filter.CmBFScale->currentText();
    SendWheel(filter.CmBFScale, -120);
    QTest::qWait(40);
    EXPECT_NE(scale, filter.CmBFScale->currentText());
    EXPECT_EQ(1, list.Q1.RecNo());

    // A disabled drop-down list does nothing with it: the list steps.
    ASSERT_FALSE(filter.CmBFcavalry->isEnabled());
    SendWheel(filter.CmBFcavalry, -120);
    QTest::qWait(40);
    EXPECT_EQ(2, list.Q1.RecNo());

    // Over the list's scroll bar: one step, as over the panels.
    SendWheel(list.CGrid1->verticalScrollBar(), 120);
    QTest::qWait(40);
    EXPECT_EQ(1, list.Q1.RecNo());
}

TEST_F(MainWindowTest, TheFilterBoxesShowWhatTheListIsFilteredBy) {
    TFilterGroup& filter = *window_->TabSheet_figures->FilterGroup;
    // "Filter figures" starts from a clean filter: only the manufacturer.
    filter.CBFcavalry->click();
    filter.CmBFcavalry->setCurrentText("infantry");
    QTest::mouseClick(filter.btn_apply_filter, Qt::LeftButton);
    window_->PageControl1->setCurrentIndex(1);
    ASSERT_TRUE(window_->O_producers1->LocateKey("P1"));
    QTest::mouseClick(window_->TabSheet_producers->Btn_producer_filter, Qt::LeftButton);
    EXPECT_FALSE(filter.CBFcavalry->isChecked());
    EXPECT_EQ(" where f.producer_id='P1'", FilterLine());
    EXPECT_EQ((QStringList{"Grenadier", "Hussar"}), FigureNames());

    // The genre filtered by is deleted: the box shows another genre on
    // return, and the list is filtered by that one.
    filter.CBFproducer->click();
    filter.CBFgenre->click();
    TFilterGroup::SelectKey(filter.DBLgenres, "G3");
    QTest::mouseClick(filter.btn_apply_filter, Qt::LeftButton);
    window_->PageControl1->setCurrentIndex(2);
    ASSERT_TRUE(window_->O_genres1->LocateKey("G3"));
    window_->TB_del->trigger();
    window_->PageControl1->setCurrentIndex(0);
    EXPECT_EQ("G2", filter.DBLgenres->currentData().toString());
    EXPECT_EQ(" where f.genre_id='G2'", FilterLine());
    EXPECT_EQ((QStringList{"Archer", "Knight"}), FigureNames());
}

TEST_F(MainWindowTest, ARecordWithoutANameIsAskedAboutAndDeleted) {
    Exec("update figures set figure_name = null where figure_id = 'F1'");
    Exec("insert into producers (producer_id, producer_name) values ('P3', '')");
    Exec("update genres set genre_name = null where genre_id = 'G3'");
    window_->RefreshAll();
    const struct {
        int page;
        TO_ci* list;
        QString table;
        QString key;
    } cases[] = {{0, window_->O_Figures1, "figures", "F1"},
                 {1, window_->O_producers1, "producers", "P3"},
                 {2, window_->O_genres1, "genres", "G3"}};
    for (const auto& c : cases) {
        window_->PageControl1->setCurrentIndex(c.page);
        ASSERT_TRUE(c.list->LocateKey(c.key));
        answers_.questions.clear();
        window_->TB_del->trigger();
        EXPECT_EQ(answers_.questions, QStringList{"Delete \n\"\"?"}) << c.table.toStdString();
        EXPECT_EQ(0, Count("select count(*) from " + c.table + " where " + c.list->KeyField +
                           " = '" + c.key + "'"));
    }
}

TEST_F(MainWindowTest, TheListHasTheKeysRightAfterAPageChange) {
    window_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window_.get()));
    QStringList shown;
    answers_.editor = [&](QDialog& dialog) {
        shown << dialog.metaObject()->className();
        return int(QDialog::Rejected);
    };
    window_->TabSheet_figures->Search->Edit_search->setFocus();
    for (int page : {1, 2, 0}) {
        window_->PageControl1->setCurrentIndex(page);
        QTest::keyClick(window_->focusWidget(), Qt::Key_F2);
    }
    EXPECT_EQ(shown, (QStringList{"TE_producer", "TE_genre", "TE_figure"}));
}

TEST_F(MainWindowTest, ANewRecordTakesItsPlaceInTheListOrder) {
    answers_.editor = [](QDialog& dialog) {
        auto* editor = qobject_cast<TP_Edit*>(&dialog);
        if (!editor)
            return int(QDialog::Rejected);
        for (TDBEdit* box : editor->findChildren<TDBEdit*>())
            if (QStringList{"figure_name", "producer_name", "genre_name"}.contains(
                    box->DataField())) {
                box->setFocus();
                box->selectAll();
                QTest::keyClicks(box, "Aaa new");
            }
        editor->btn_ok->click();
        return editor->result();
    };
    const struct {
        int page;
        TO_ci* list;
    } cases[] = {{0, window_->O_Figures1}, {1, window_->O_producers1}, {2, window_->O_genres1}};
    for (const auto& c : cases) {
        window_->PageControl1->setCurrentIndex(c.page);
        window_->TB_add->trigger();
        EXPECT_EQ(0, c.list->Q1.RecNo()) << c.page;
        EXPECT_EQ("Aaa new", c.list->NameValue()) << c.page;
    }
}

TEST_F(MainWindowTest, TheAboutButtonShowsItsDots) {
    auto* button =
        qobject_cast<QToolButton*>(window_->ToolBar1->widgetForAction(window_->TB_about));
    ASSERT_NE(button, nullptr);
    EXPECT_EQ("About...", button->text());
}

TEST_F(MainWindowTest, ThePagesOpenTheEditorsTheProgramHandsOver) {
    TE_figure figure(window_.get());
    TE_producer producer(window_.get());
    TE_genre genre(window_.get());
    window_->Dialogs.E_figure = &figure;
    window_->Dialogs.E_producer = &producer;
    window_->Dialogs.E_genre = &genre;
    QList<QDialog*> opened;
    answers_.editor = [&](QDialog& dialog) {
        opened << &dialog;
        return int(QDialog::Rejected);
    };
    for (int page : {0, 1, 2}) {
        window_->PageControl1->setCurrentIndex(page);
        window_->TB_edit->trigger();
    }
    EXPECT_EQ(opened, (QList<QDialog*>{&figure, &producer, &genre}));
}
