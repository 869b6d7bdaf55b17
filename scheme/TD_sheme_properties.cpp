#include "TD_sheme_properties.h"

#include "CommandGuard.h"
#include "DialogRunner.h"
#include "TO_sheme.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>

namespace {

constexpr int PreviewLeft = 196;
constexpr int PreviewTop = 16;

QToolButton* SizeButton(QWidget* parent, Qt::ArrowType arrow, int x, int y) {
    auto* button = new QToolButton(parent);
    button->setArrowType(arrow);
    button->setGeometry(x, y, 18, 13);
    return button;
}

// A size one step up or down, never below the minimum nor past int.
int Stepped(int size, int step) {
    const long long next = static_cast<long long>(size) + step;
    return static_cast<int>(std::clamp<long long>(next, TD_sheme_properties::MinimumSize, INT_MAX));
}

} // namespace

TD_sheme_properties::TD_sheme_properties(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Sheme properties"));
    setFixedSize(300, 236);

    PageControl1 = new QTabWidget(this);
    PageControl1->setGeometry(8, 8, 284, 180);
    TabSheet_size = new QWidget;
    TabSheet_check = new QWidget;
    PageControl1->addTab(TabSheet_size, QStringLiteral("Size"));
    PageControl1->addTab(TabSheet_check, QStringLiteral("Checking"));

    Label_h = new QLabel(QStringLiteral("Height"), TabSheet_size);
    Label_h->setGeometry(12, 16, 70, 18);
    Label_h_value = new QLabel(TabSheet_size);
    Label_h_value->setGeometry(12, 40, 50, 26);
    SB_h_inc = SizeButton(TabSheet_size, Qt::UpArrow, 62, 40);
    SB_h_dec = SizeButton(TabSheet_size, Qt::DownArrow, 62, 53);
    Label_w = new QLabel(QStringLiteral("Width"), TabSheet_size);
    Label_w->setGeometry(100, 16, 70, 18);
    Label_w_value = new QLabel(TabSheet_size);
    Label_w_value->setGeometry(100, 40, 50, 26);
    SB_w_inc = SizeButton(TabSheet_size, Qt::UpArrow, 150, 40);
    SB_w_dec = SizeButton(TabSheet_size, Qt::DownArrow, 150, 53);

    // Both shapes hang from the same top-left corner on the page.
    Shape_start = new QFrame(TabSheet_size);
    Shape_start->move(PreviewLeft, PreviewTop);
    Shape_start->setStyleSheet(
        QStringLiteral("QFrame { border: 1px solid black; background: white; }"));
    Shape_curr = new QFrame(TabSheet_size);
    Shape_curr->move(PreviewLeft, PreviewTop);
    Shape_curr->setStyleSheet(QStringLiteral("QFrame { border: 1px solid red; }"));
    Shape_curr->setAttribute(Qt::WA_TransparentForMouseEvents);

    Memo_check = new QPlainTextEdit(TabSheet_check);
    Memo_check->setReadOnly(true);
    Memo_check->setGeometry(8, 8, 264, 100);
    btn_check = new QPushButton(QStringLiteral("Check"), TabSheet_check);
    btn_check->setGeometry(8, 116, 90, 27);

    Label_sh_name = new QLabel(QStringLiteral("Sheme ID"), this);
    Label_sh_name->setGeometry(8, 200, 60, 18);
    Label_sh_name->setVisible(false);
    Edit_sh_name = new QLineEdit(this);
    Edit_sh_name->setGeometry(70, 198, 50, 22);
    Edit_sh_name->setVisible(false);

    btn_ok = new QPushButton(QStringLiteral("OK"), this);
    btn_ok->setGeometry(124, 198, 80, 27);
    btn_ok->setDefault(true);
    btn_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    btn_cancel->setGeometry(212, 198, 80, 27);

    connect(btn_ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(btn_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(SB_h_inc, &QToolButton::clicked, this, CommandGuard::Slot([this] { SB_h_incClick(); }));
    connect(SB_h_dec, &QToolButton::clicked, this, CommandGuard::Slot([this] { SB_h_decClick(); }));
    connect(SB_w_inc, &QToolButton::clicked, this, CommandGuard::Slot([this] { SB_w_incClick(); }));
    connect(SB_w_dec, &QToolButton::clicked, this, CommandGuard::Slot([this] { SB_w_decClick(); }));
    connect(btn_check, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_checkClick(); }));
}

void TD_sheme_properties::EditSchemeProperties(QWidget* frame) {
    Memo_check->clear();
    Frame = qobject_cast<TO_sheme*>(frame);
    if (Frame == nullptr)
        return;
    LoadProperties();
    if (DialogRunner::Exec(*this) == QDialog::Accepted)
        StoreProperties();
}

void TD_sheme_properties::LoadProperties() {
    Edit_sh_name->setText(QString::fromStdString(Frame->Scheme.GetAttribute("SHEME_NAME")));
    loadedName_ = Edit_sh_name->text();
    loadedHeight_ = Frame->Doc.Height();
    loadedWidth_ = Frame->Doc.Width();
    // A scheme smaller than the minimum (or of no size at all) opens at the
    // minimum, which also keeps the preview scale finite.
    SchemeHeight = std::max(loadedHeight_, MinimumSize);
    SchemeWidth = std::max(loadedWidth_, MinimumSize);
    PreviewScale = static_cast<double>(PreviewSide) / std::max(SchemeHeight, SchemeWidth);
    Shape_start->resize(PreviewSize());
    ShowSize();
}

void TD_sheme_properties::StoreProperties() {
    Frame->Change([this] {
        // What was not changed keeps its stored bytes: a name in an older
        // 8-bit encoding would not come back from the text field.
        TZunPigger& root = Frame->Scheme;
        if (Edit_sh_name->text() != loadedName_)
            root.SetAttribute("SHEME_NAME", Edit_sh_name->text().trimmed().toStdString());
        if (SchemeWidth != loadedWidth_)
            root.SetAttribute("WIDTH", std::to_string(SchemeWidth));
        if (SchemeHeight != loadedHeight_)
            root.SetAttribute("HEIGHT", std::to_string(SchemeHeight));
        Frame->Layout();
    });
    Frame->Repaint();
}

QSize TD_sheme_properties::PreviewSize() const {
    return {static_cast<int>(std::lround(SchemeWidth * PreviewScale)),
            static_cast<int>(std::lround(SchemeHeight * PreviewScale))};
}

void TD_sheme_properties::ShowSize() {
    Label_h_value->setText(QString::number(SchemeHeight));
    Label_w_value->setText(QString::number(SchemeWidth));
    Shape_curr->resize(PreviewSize());
    Shape_curr->raise();
}

void TD_sheme_properties::SB_h_incClick() {
    SchemeHeight = Stepped(SchemeHeight, SizeStep);
    ShowSize();
}

void TD_sheme_properties::SB_h_decClick() {
    SchemeHeight = Stepped(SchemeHeight, -SizeStep);
    ShowSize();
}

void TD_sheme_properties::SB_w_incClick() {
    SchemeWidth = Stepped(SchemeWidth, SizeStep);
    ShowSize();
}

void TD_sheme_properties::SB_w_decClick() {
    SchemeWidth = Stepped(SchemeWidth, -SizeStep);
    ShowSize();
}

void TD_sheme_properties::btn_checkClick() {
    Memo_check->clear();
    if (Frame == nullptr)
        return;
    std::string text;
    // The check moves what lies at negative coordinates; that can be undone.
    Frame->Change([&] { Frame->CheckScheme(text); });
    Memo_check->setPlainText(text.empty() ? QStringLiteral("No errors found")
                                          : QString::fromStdString(text));
    Frame->Repaint();
}

void TD_sheme_properties::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* shown = screen()) {
        QRect area = frameGeometry();
        area.moveCenter(shown->availableGeometry().center());
        move(area.topLeft());
    }
}
