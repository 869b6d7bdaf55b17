#include "TF_sheme_object_properties.h"

#include "CommandGuard.h"
#include "DialogRunner.h"
#include "SchemePainter.h"
#include "TZunPigger.h"

#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStackedWidget>

namespace {

// The approach to the tip and the start stub of the preview arrow.
constexpr int PreviewReach = 20;

} // namespace

TF_sheme_object_properties::TF_sheme_object_properties(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Object properties"));
    resize(544, 375);

    PageControl1 = new QStackedWidget(this);
    PageControl1->setGeometry(0, 0, 544, 334);

    TabSheet_node = new QWidget;
    Label1 = new QLabel(QStringLiteral("Operation name:"), TabSheet_node);
    Label1->setGeometry(8, 8, 528, 18);
    Edit1 = new QLineEdit(TabSheet_node);
    Edit1->setGeometry(8, 28, 528, 24);
    Label2 = new QLabel(QStringLiteral("Description:"), TabSheet_node);
    Label2->setGeometry(8, 60, 528, 18);
    Memo1 = new QPlainTextEdit(TabSheet_node);
    Memo1->setGeometry(8, 80, 528, 246);
    PageControl1->addWidget(TabSheet_node);

    TabSheet_line = new QWidget;
    GroupBox1 = new QGroupBox(QStringLiteral("Arrow type"), TabSheet_line);
    GroupBox1->setGeometry(8, 8, 260, 136);
    Panel_preview = new QFrame(GroupBox1);
    Panel_preview->setFrameShape(QFrame::Panel);
    Panel_preview->setFrameShadow(QFrame::Sunken);
    Panel_preview->setGeometry(10, 22, 134, 106);
    PB1 = new QWidget(Panel_preview);
    PB1->setGeometry(7, 7, 120, 92);
    PB1->installEventFilter(this);
    RG_top = new QRadioButton(QStringLiteral("Up"), GroupBox1);
    RG_top->setGeometry(156, 30, 96, 22);
    RG_left = new QRadioButton(QStringLiteral("Left"), GroupBox1);
    RG_left->setGeometry(156, 62, 96, 22);
    RG_bottom = new QRadioButton(QStringLiteral("Bottom"), GroupBox1);
    RG_bottom->setGeometry(156, 94, 96, 22);
    PageControl1->addWidget(TabSheet_line);

    Panel_bottom = new QWidget(this);
    Panel_bottom->setGeometry(0, 334, 544, 41);
    btn_ok = new QPushButton(QStringLiteral("Ok"), Panel_bottom);
    btn_ok->setGeometry(356, 7, 85, 27);
    btn_ok->setDefault(true);
    btn_cancel = new QPushButton(QStringLiteral("Cancel"), Panel_bottom);
    btn_cancel->setGeometry(451, 7, 85, 27);

    for (QRadioButton* side : {RG_top, RG_left, RG_bottom})
        connect(side, &QRadioButton::toggled, this, CommandGuard::Slot([this] { RG_Click(); }));
    connect(btn_ok, &QPushButton::clicked, this, CommandGuard::Slot([this] { btn_okClick(); }));
    connect(btn_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TF_sheme_object_properties::EditObject(TZunPigger* element) {
    Confirmed = false;
    if (element == nullptr)
        return;
    if (element->Name() == "LINE")
        EditLine(element);
    else if (element->Name() == "NODE")
        EditNode(element);
}

void TF_sheme_object_properties::EditLine(TZunPigger* line) {
    PageControl1->setCurrentWidget(TabSheet_line);
    const std::string& im = line->GetAttribute("IM");
    if (im == "-1")
        RG_bottom->setChecked(true);
    else if (im == "1")
        RG_top->setChecked(true);
    else
        RG_left->setChecked(true);
    const QRadioButton* opened = RG_top->isChecked()      ? RG_top
                                 : RG_bottom->isChecked() ? RG_bottom
                                                          : RG_left;
    RG_Click();
    DialogRunner::Exec(*this);
    if (!Confirmed || opened->isChecked())
        return;
    line->SetAttribute("IM", RG_top->isChecked() ? "1" : RG_bottom->isChecked() ? "-1" : "0");
}

void TF_sheme_object_properties::EditNode(TZunPigger* node) {
    PageControl1->setCurrentWidget(TabSheet_node);
    Edit1->setText(QString::fromStdString(node->GetAttribute("N_NAME")));
    Memo1->setPlainText(QString::fromStdString(node->Text));
    // The fields as they show the stored values: what still reads the same
    // keeps its stored bytes, which the fields may not give back (an older
    // 8-bit encoding, line breaks).
    const QString name = Edit1->text();
    const QString description = Memo1->toPlainText();
    DialogRunner::Exec(*this);
    if (!Confirmed)
        return;
    if (Edit1->text() != name)
        node->SetAttribute("N_NAME", Edit1->text().toStdString());
    if (Memo1->toPlainText() != description)
        node->Text = Memo1->toPlainText().toStdString();
}

void TF_sheme_object_properties::RG_Click() {
    BoxTop = 30;
    BoxLeft = 60;
    BoxBottom = 60;
    BoxRight = 100;
    ArrowXB = 15;
    ArrowYB = 45;
    if (RG_top->isChecked()) {
        ArrowXE = 70;
        ArrowYE = BoxTop;
        ArrowIM = 1;
    } else if (RG_bottom->isChecked()) {
        ArrowXE = 70;
        ArrowYE = BoxBottom;
        ArrowIM = -1;
    } else {
        ArrowXE = BoxLeft;
        ArrowYE = BoxBottom - (BoxBottom - BoxTop) / 2;
        ArrowIM = 0;
    }
    PB1->update();
}

void TF_sheme_object_properties::btn_okClick() {
    Confirmed = true;
    accept();
}

void TF_sheme_object_properties::PaintPreview() {
    QPainter painter(PB1);
    SchemePainter::Rect(painter, BoxLeft, BoxTop, BoxRight, BoxBottom);
    SchemePainter::DrawArrow(painter, ArrowXB, ArrowYB, ArrowXE, ArrowYE, ArrowIM, PreviewReach);
}

bool TF_sheme_object_properties::eventFilter(QObject* watched, QEvent* event) {
    if (watched == PB1 && event->type() == QEvent::Paint) {
        CommandGuard::Run([this] { PaintPreview(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TF_sheme_object_properties::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* shown = screen()) {
        QRect area = frameGeometry();
        area.moveCenter(shown->availableGeometry().center());
        move(area.topLeft());
    }
}
