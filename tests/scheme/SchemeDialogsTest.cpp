// The scheme properties and object properties dialogs through their real
// buttons, on a scheme editor frame.

#include "ModalScript.h"
#include "TD_sheme_properties.h"
#include "TF_sheme_object_properties.h"
#include "TO_sheme.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStackedWidget>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class SchemeDialogsTest : public ::testing::Test {
protected:
    SchemeDialogsTest() { frame_.LoadSchemeText(""); }

    // Runs the scheme properties dialog on the frame; inside acts in it,
    // then OK (or Cancel) is pressed.
    void Properties(const std::function<void(TD_sheme_properties&)>& inside, bool ok = true) {
        TD_sheme_properties dialog;
        script_.Then([&dialog, inside, ok](QDialog&) {
            inside(dialog);
            QTest::mouseClick(ok ? dialog.btn_ok : dialog.btn_cancel, Qt::LeftButton);
        });
        dialog.EditSchemeProperties(&frame_);
        EXPECT_TRUE(script_.Done());
    }

    // The same for the object properties window on an element.
    void Object(TZunPigger* element, const std::function<void(TF_sheme_object_properties&)>& inside,
                bool ok = true) {
        TF_sheme_object_properties dialog;
        script_.Then([&dialog, inside, ok](QDialog&) {
            inside(dialog);
            QTest::mouseClick(ok ? dialog.btn_ok : dialog.btn_cancel, Qt::LeftButton);
        });
        dialog.EditObject(element);
        EXPECT_TRUE(script_.Done());
    }

    const std::string& Root(const char* name) const { return frame_.Scheme.GetAttribute(name); }

    TO_sheme frame_;
    ModalScript script_;
};

TEST_F(SchemeDialogsTest, SizeStepsShowInThePreviewAndOkStoresThemUndoably) {
    Properties([](TD_sheme_properties& d) {
        EXPECT_EQ(d.Shape_start->size(), QSize(64, 43));
        EXPECT_EQ(d.Shape_curr->size(), QSize(64, 43));
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(d.SB_w_inc, Qt::LeftButton);
        EXPECT_EQ(d.SchemeWidth, 690);
        EXPECT_EQ(d.Label_w_value->text(), "690");
        EXPECT_EQ(d.Shape_curr->size(), QSize(74, 43));
        EXPECT_EQ(d.Shape_start->size(), QSize(64, 43));
        d.Edit_sh_name->setText("  Plan ");
    });
    EXPECT_EQ(Root("WIDTH"), "690");
    EXPECT_EQ(Root("HEIGHT"), "400");
    EXPECT_EQ(Root("SHEME_NAME"), "Plan");

    Properties([](TD_sheme_properties& d) { QTest::mouseClick(d.SB_h_inc, Qt::LeftButton); },
               false);
    EXPECT_EQ(Root("HEIGHT"), "400");

    frame_.Undo();
    EXPECT_EQ(Root("WIDTH"), "600");
}

TEST_F(SchemeDialogsTest, SizesNeverGoBelowTheMinimumNorBreakThePreview) {
    struct Case {
        const char* width;
        const char* height;
        QSize preview;
    };
    for (const Case& c :
         {Case{"0", "0", {64, 64}}, Case{"-300", "120", {48, 64}}, Case{"150", "100", {64, 43}}}) {
        frame_.Scheme.SetAttribute("WIDTH", c.width);
        frame_.Scheme.SetAttribute("HEIGHT", c.height);
        Properties([&c](TD_sheme_properties& d) {
            EXPECT_EQ(d.Shape_start->size(), c.preview) << c.width << " x " << c.height;
            for (int i = 0; i < 3; ++i) {
                QTest::mouseClick(d.SB_w_dec, Qt::LeftButton);
                QTest::mouseClick(d.SB_h_dec, Qt::LeftButton);
            }
        });
        EXPECT_EQ(Root("WIDTH"), "90");
        EXPECT_EQ(Root("HEIGHT"), "90");
    }
}

TEST_F(SchemeDialogsTest, CheckReportsAndMovesObjectsAtNegativeCoordinates) {
    QString shown;
    const auto check = [&] {
        Properties(
            [&shown](TD_sheme_properties& d) {
                d.Memo_check->setPlainText("old");
                QTest::mouseClick(d.btn_check, Qt::LeftButton);
                shown = d.Memo_check->toPlainText();
            },
            false);
    };
    check();
    EXPECT_EQ(shown, "Sheme is not deffined.");

    TZunPigger* node = frame_.Doc.AddNode(-10, 40, "Prime", 0);
    check();
    EXPECT_EQ(shown, "Object(s) outside sheme are detected.");
    EXPECT_EQ(node->GetAttribute("L"), "5");
    EXPECT_EQ(node->GetAttribute("T"), "40");

    check();
    EXPECT_EQ(shown, "No errors found");
}

TEST_F(SchemeDialogsTest, ArrowSideIsChosenOnTheLinePage) {
    TZunPigger* line = frame_.Doc.AddLine(10, 10, 200, 100, 0, "L1");
    line->SetAttribute("IM", "5");
    Object(line, [](TF_sheme_object_properties& d) {
        EXPECT_EQ(d.PageControl1->currentWidget(), d.TabSheet_line);
        EXPECT_TRUE(d.RG_left->isChecked());
        d.RG_top->click();
    });
    EXPECT_EQ(line->GetAttribute("IM"), "1");

    Object(
        line, [](TF_sheme_object_properties& d) { d.RG_bottom->click(); }, false);
    EXPECT_EQ(line->GetAttribute("IM"), "1");

    // Anything but a node or a line shows nothing.
    TF_sheme_object_properties dialog;
    dialog.EditObject(&frame_.Scheme);
}

TEST_F(SchemeDialogsTest, NodeNameAndDescriptionAreStoredAsTyped) {
    TZunPigger* node = frame_.Doc.AddNode(10, 10, "Prime", 0);
    node->Text = "Thin the paint";
    Object(node, [](TF_sheme_object_properties& d) {
        EXPECT_EQ(d.Edit1->text(), "Prime");
        EXPECT_EQ(d.Memo1->toPlainText(), "Thin the paint");
        d.Edit1->setText(QString::fromUtf8(" Grundierung \u00fc"));
        d.Memo1->setPlainText("Two\nlines");
    });
    EXPECT_EQ(node->GetAttribute("N_NAME"), " Grundierung \xc3\xbc");
    EXPECT_EQ(node->Text, "Two\nlines");
}

TEST_F(SchemeDialogsTest, OkWithoutChangesKeepsTheStoredBytes) {
    TZunPigger* node = frame_.Doc.AddNode(10, 10, "Prime", 0);
    TZunPigger* line = frame_.Doc.AddLine(10, 10, 200, 100, 0, "L1");
    struct Case {
        TZunPigger* element;
        const char* attribute; // nullptr: the element's text
        std::string bytes;
    };
    const Case cases[] = {
        {&frame_.Scheme, "SHEME_NAME", " Caf\xe9 "},
        {&frame_.Scheme, "WIDTH", "0600"},
        {node, "N_NAME", "Caf\xe9"},
        {node, nullptr, "Wash\r\nthen prime \xe9"},
        {line, "IM", "5"},
    };
    for (const Case& c : cases) {
        if (c.attribute)
            c.element->SetAttribute(c.attribute, c.bytes);
        else
            c.element->Text = c.bytes;
        if (c.element == &frame_.Scheme)
            Properties([](TD_sheme_properties&) {});
        else
            Object(c.element, [](TF_sheme_object_properties&) {});
        EXPECT_EQ(c.attribute ? c.element->GetAttribute(c.attribute) : c.element->Text, c.bytes)
            << (c.attribute ? c.attribute : "text");
    }
}

} // namespace
