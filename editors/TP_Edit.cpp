#include "TP_Edit.h"

#include "CommandGuard.h"
#include "DBactions.h"
#include "DialogRunner.h"
#include "Msg.h"
#include "TFsureCancel.h"
#include "TQuery.h"

#include <QApplication>
#include <QFrame>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>

namespace {

constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int ButtonGap = 8;

// Points a data source at a dataset for its own lifetime.
class Binding {
public:
    Binding(TDataSource& source, TQuery& dataSet) : source_(source) {
        source_.SetDataSet(&dataSet);
    }
    ~Binding() { source_.SetDataSet(nullptr); }
    Binding(const Binding&) = delete;
    Binding& operator=(const Binding&) = delete;

private:
    TDataSource& source_;
};

// The program's main window: the first visible one.
QWidget* MainWindow() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (qobject_cast<QMainWindow*>(window) && window->isVisible())
            return window;
    }
    return nullptr;
}

} // namespace

TP_Edit::TP_Edit(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    Panel_buttons = new QFrame(this);
    btn_ok = new QPushButton(QStringLiteral("Ok"), Panel_buttons);
    btn_ok->setDefault(true);
    btn_cancel = new QPushButton(QStringLiteral("Cancel"), Panel_buttons);
    connect(btn_ok, &QPushButton::clicked, this, CommandGuard::Slot([this] { accept(); }));
    // Drops the changes without asking; Escape and the close box reject.
    connect(btn_cancel, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { QDialog::reject(); }));
    SetClientSize(ClientWidth, ClientHeight);
}

TP_Edit::~TP_Edit() = default;

void TP_Edit::PrepareEdit() {}

void TP_Edit::BeforeSave() {}

bool TP_Edit::EditRecord(TQuery& dataSet) {
    Saved = false;
    const Binding binding(DS1, dataSet);
    if (dataSet.Bof() && dataSet.Eof())
        return false;
    PrepareEdit();
    DialogRunner::Exec(*this);
    // "Ok" has saved the record before closing the dialog; any other way
    // out drops the changes.
    if (!Saved)
        DataSetCancel(dataSet);
    return Saved;
}

void TP_Edit::accept() {
    if (!SaveRecord())
        return;
    Saved = true;
    QDialog::accept();
}

// Reached from key and close events, outside any button's guard.
void TP_Edit::reject() {
    CommandGuard::Run([this] {
        if (!HasChanges()) {
            QDialog::reject();
            return;
        }
        switch (AskYesNoCancel(QStringLiteral("Save changes?"))) {
        case TFsureCancel::Reply::Yes:
            accept();
            break;
        case TFsureCancel::Reply::No:
            QDialog::reject();
            break;
        case TFsureCancel::Reply::Cancel:
            break;
        }
    });
}

bool TP_Edit::HasChanges() const {
    const TQuery* dataSet = DS1.DataSet();
    if (!dataSet || !dataSet->Active())
        return false;
    return dataSet->State() == TDataSetState::Edit || dataSet->State() == TDataSetState::Insert;
}

bool TP_Edit::SaveRecord() {
    TQuery* dataSet = DS1.DataSet();
    if (!dataSet)
        return true;
    BeforeSave();
    const TDataSetState state = dataSet->Active() ? dataSet->State() : TDataSetState::Inactive;
    if (state != TDataSetState::Edit && state != TDataSetState::Insert)
        return true; // nothing to post
    QString error;
    if (DataSetPost(*dataSet, &error))
        return true;
    // Still being edited, with what the user gave: the dialog stays open.
    ShowMsg(QStringLiteral("The record was not saved:\n\n") + error);
    return false;
}

void TP_Edit::SetClientSize(int width, int height) {
    setFixedSize(width, height);
    PlaceButtons();
}

void TP_Edit::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    PlaceButtons();
}

void TP_Edit::PlaceButtons() {
    Panel_buttons->setGeometry(0, height() - ButtonStripHeight, width(), ButtonStripHeight);
    const int top = (ButtonStripHeight - ButtonHeight) / 2;
    const int cancelLeft = width() - ButtonGap - ButtonWidth;
    btn_cancel->setGeometry(cancelLeft, top, ButtonWidth, ButtonHeight);
    btn_ok->setGeometry(cancelLeft - ButtonGap - ButtonWidth, top, ButtonWidth, ButtonHeight);
}

void TP_Edit::showEvent(QShowEvent* event) {
    CentreOverMainWindow();
    FocusFirstControl();
    QDialog::showEvent(event);
}

void TP_Edit::CentreOverMainWindow() {
    QWidget* over = parentWidget() ? parentWidget()->window() : MainWindow();
    QRect area;
    if (over && over->isVisible())
        area = over->frameGeometry();
    else if (const QScreen* shown = screen())
        area = shown->availableGeometry();
    else
        return;
    QRect frame = frameGeometry();
    frame.moveCenter(area.center());
    move(frame.topLeft());
}

// The editor's own controls come before the buttons, whatever order the
// editor made them in, and the first of them has the focus.
void TP_Edit::FocusFirstControl() {
    QWidget* first = nullptr;
    QWidget* last = nullptr;
    for (QWidget* widget = nextInFocusChain(); widget != this;
         widget = widget->nextInFocusChain()) {
        if (widget == btn_ok || widget == btn_cancel || !isAncestorOf(widget))
            continue;
        if (!(widget->focusPolicy() & Qt::TabFocus))
            continue;
        if (!first && widget->isVisibleTo(this) && widget->isEnabled())
            first = widget;
        last = widget;
    }
    if (last) {
        setTabOrder(last, btn_ok);
        setTabOrder(btn_ok, btn_cancel);
    }
    (first ? first : btn_ok)->setFocus();
}
