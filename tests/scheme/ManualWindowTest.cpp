// The manual window against a real figures table: loading, import and
// export through the file dialogs, and what "Ok" and "Cancel" store.

#include "ModalScript.h"
#include "QueryTestFixture.h"
#include "TFmanual.h"
#include "TFsureCancel.h"
#include "TO_manual.h"

#include <QAction>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

class ManualWindowTest : public QueryTestFixture {
protected:
    void SetUp() override {
        QueryTestFixture::SetUp();
        AddFigure("F1", "Hussar");
    }

    QByteArray Stored() { return Scalar("select manual_sheme from figures").toByteArray(); }
    QString File(const QString& name) { return files_.filePath(name); }
    void Write(const QString& name, const QByteArray& bytes) {
        QFile file(File(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    // The manual of F1 runs inside in the window, then the button is
    // pressed; the dialogs inside opens are answered by what the script
    // holds after this.
    void Open(const std::function<void(TFmanual&)>& inside, bool ok) {
        script_.Then([this, inside, ok](QDialog&) {
            inside(window_);
            QTest::mouseClick(ok ? window_.btn_ok : window_.btn_cancel, Qt::LeftButton);
        });
    }
    bool Run() {
        const bool result = window_.EditManual(QStringLiteral("F1"));
        EXPECT_TRUE(script_.Done());
        return result;
    }
    // The file dialog opened next picks the file, of the type given.
    void Choose(const QString& fileName, int filter = 0) {
        script_.Then([fileName, filter](QDialog& d) {
            auto& files = static_cast<QFileDialog&>(d);
            files.selectNameFilter(files.nameFilters().at(filter));
            emit files.filterSelected(files.nameFilters().at(filter));
            files.selectFile(fileName);
            d.accept();
        });
    }

    // The next dialog is the three-way question; its text is noted and the
    // button of that index pressed.
    void Answer(int button, QString* question = nullptr) {
        script_.Then([button, question](QDialog& d) {
            auto* choice = qobject_cast<TFsureCancel*>(&d);
            if (!choice) {
                ADD_FAILURE() << "no question but " << d.windowTitle().toStdString();
                d.done(QDialog::Rejected);
                return;
            }
            if (question)
                *question = choice->Question->text();
            QPushButton* buttons[] = {choice->btn_yes, choice->btn_no, choice->btn_cancel};
            QTest::mouseClick(buttons[button], Qt::LeftButton);
        });
    }

    QTemporaryDir files_;
    ModalScript script_;
    TFmanual window_;
};

TEST_F(ManualWindowTest, NewManualIsAnEmptySheetAndCancelStoresNothing) {
    Open(
        [](TFmanual& w) {
            EXPECT_EQ(w.O_manual1->Scheme.GetAttribute("WIDTH"), "600");
            EXPECT_EQ(w.O_manual1->Scheme.GetAttribute("HEIGHT"), "400");
            EXPECT_FALSE(w.TB_edit_node->isEnabled());
            EXPECT_FALSE(w.TB_edit_line->isEnabled());
            EXPECT_FALSE(w.TB_delete->isEnabled());
            w.O_manual1->AddNode(50, 50, "Prime");
        },
        false);
    EXPECT_FALSE(Run());
    EXPECT_TRUE(Stored().isEmpty());
}

TEST_F(ManualWindowTest, ExportsKeepVersionThirdAndOkStoresTheScheme) {
    Open(
        [](TFmanual& w) {
            w.O_manual1->AddNode(50, 50, "Prime");
            w.TB_export->trigger();
            w.TB_export->trigger();
            w.TB_export->trigger();
        },
        true);
    Choose(File("one"));
    Choose(File("two.APSH"));
    Choose(File("picture"), 1);
    EXPECT_TRUE(Run());
    TZunPigger exported;
    exported.LoadFromFile(File("two.APSH").toStdString());
    ASSERT_EQ(exported.AttributeCount(), 3);
    EXPECT_EQ(exported.AttributeNameAt(2), "VERSION");
    EXPECT_EQ(exported.AttributeValueAt(2), "2");
    EXPECT_TRUE(QFile::exists(File("one.APSH")));
    QFile bitmap(File("picture.BMP"));
    ASSERT_TRUE(bitmap.open(QIODevice::ReadOnly));
    const QImage image = QImage::fromData(bitmap.readAll(), "BMP");
    EXPECT_EQ(image.size(), QSize(600, 400));
    const QByteArray stored = Stored();
    EXPECT_TRUE(stored.contains("VERSION=\"2\"")) << stored.toStdString();
    EXPECT_TRUE(stored.contains("N_NAME=\"Prime\""));
}

TEST_F(ManualWindowTest, RefusedImportsChangeNothingAndCancelKeepsTheStoredScheme) {
    Exec("update figures set manual_sheme = ?",
         {QByteArray("\r\n<SHEME HEIGHT=\"400\" WIDTH=\"600\">\r\n\t<NODE L=\"1\" T=\"1\" W=\"9\" "
                     "H=\"9\" N_NAME=\"kept\"/>\r\n</SHEME>")});
    const QByteArray before = Stored();
    Write("config.APSH", "<CONFIG A=\"1\" B=\"2\" C=\"3\"/>");
    Write("old.APSH", "<SHEME HEIGHT=\"400\" WIDTH=\"600\" VERSION=\"1\"/>");
    Write("broken.APSH", "<SHEME HEIGHT=\"400\" WIDTH=\"600\" VERSION=\"2\"><NODE>");
    Write("good.APSH", "<SHEME HEIGHT=\"400\" WIDTH=\"600\" VERSION=\"2\"><NODE N_NAME=\"new\"/>"
                       "</SHEME>");
    QStringList standard;
    const DialogRunner::ScopedMessageHook messages(
        [&standard](const QString& text) { standard << text; });
    Open(
        [](TFmanual& w) {
            for (int i = 0; i < 3; ++i) {
                w.TB_import->trigger();
                EXPECT_TRUE(w.O_manual1->FindNode("kept"));
            }
            w.TB_import->trigger();
            EXPECT_TRUE(w.O_manual1->FindNode("new"));
            EXPECT_TRUE(w.TB_undo->isEnabled());
        },
        false);
    Choose(File("config.APSH"));
    script_.Then(ModalScript::Ok);
    Choose(File("old.APSH"));
    script_.Then(ModalScript::Ok);
    Choose(File("broken.APSH"));
    Choose(File("good.APSH"));
    EXPECT_FALSE(Run());
    EXPECT_TRUE(script_.Shown.contains("Message: Cna't load XML\nNOT A SHEME XML"))
        << script_.Shown.join("|").toStdString();
    EXPECT_TRUE(script_.Shown.contains("Message: Cna't load XML\nVersion conflict"));
    EXPECT_EQ(standard.size(), 1);
    EXPECT_EQ(Stored(), before);
}

TEST_F(ManualWindowTest, EscapeAndTheCloseBoxAskBeforeDroppingChanges) {
    enum Close { Escape, CloseBox, CancelButton };
    enum Reply { None = -1, Yes = 0, No = 1, Stay = 2 }; // buttons of the question
    struct Case {
        Close close;
        bool changed;
        Reply reply;
        bool stored;
    };
    const Case cases[] = {
        {Escape, true, No, false},         {CloseBox, true, Yes, true},
        {Escape, true, Stay, false},       {Escape, false, None, false},
        {CancelButton, true, None, false},
    };
    for (const Case& c : cases) {
        Exec("update figures set manual_sheme = null");
        bool stayed = false;
        script_.Then([this, &c, &stayed](QDialog&) {
            if (c.changed)
                window_.O_manual1->Change([this] { window_.O_manual1->AddNode(50, 50, "Prime"); });
            if (c.close == Escape)
                QTest::keyClick(&window_, Qt::Key_Escape);
            else if (c.close == CloseBox)
                window_.close();
            else
                QTest::mouseClick(window_.btn_cancel, Qt::LeftButton);
            stayed = window_.isVisible();
            if (stayed)
                QTest::mouseClick(window_.btn_cancel, Qt::LeftButton);
        });
        QString question;
        if (c.reply != None)
            Answer(c.reply, &question);
        EXPECT_EQ(Run(), c.stored) << c.close << " " << c.reply;
        EXPECT_EQ(question, c.reply == None ? "" : "Save changes to the manual?");
        EXPECT_EQ(stayed, c.reply == Stay) << c.close << " " << c.reply;
        EXPECT_EQ(Stored().contains("Prime"), c.stored) << c.close << " " << c.reply;
    }
}

TEST_F(ManualWindowTest, DamagedStoredManualSaysWhyAndCanBeReplaced) {
    const QByteArray damaged("\r\n<SHEME HEIGHT=\"400\" WIDTH=\"600\">\r\n\t<NODE L=\"1\">");
    Write("good.APSH", "<SHEME HEIGHT=\"400\" WIDTH=\"600\" VERSION=\"2\"><NODE N_NAME=\"new\"/>"
                       "</SHEME>");
    enum Offer { Empty, Import, Cancel };
    for (const Offer offer : {Cancel, Empty, Import}) {
        Exec("update figures set manual_sheme = ?", {damaged});
        QString question;
        Answer(offer, &question);
        if (offer == Import)
            Choose(File("good.APSH"));
        if (offer != Cancel) {
            // Nothing changed (Escape closes at once), else Ok.
            script_.Then([this, offer](QDialog&) {
                EXPECT_EQ(window_.O_manual1->NodeCount(), offer == Import ? 1 : 0);
                if (offer == Import)
                    QTest::mouseClick(window_.btn_ok, Qt::LeftButton);
                else
                    QTest::keyClick(&window_, Qt::Key_Escape);
            });
        }
        EXPECT_EQ(Run(), offer == Import) << offer;
        EXPECT_TRUE(question.startsWith("The stored manual cannot be read:\nSyntax error"))
            << question.toStdString();
        if (offer == Import)
            EXPECT_TRUE(Stored().contains("N_NAME=\"new\""));
        else
            EXPECT_EQ(Stored(), damaged) << offer;
    }
}

} // namespace
