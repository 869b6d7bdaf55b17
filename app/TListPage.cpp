#include "TListPage.h"

#include "CommandGuard.h"
#include "Msg.h"
#include "ReadOnlyCatalog.h"
#include "TO_ci.h"
#include "TP_Edit.h"
#include "TSearchGroup.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace {

QString Quoted(const char* pattern, const QString& value) {
    return QString::fromUtf8(pattern).arg(value);
}

} // namespace

TListPage::TListPage(TO_ci* list, TPageDialogs& dialogs, QString keyField, QString nameField)
    : List(list), Dialogs(dialogs), keyField_(std::move(keyField)),
      nameField_(std::move(nameField)) {
    Left = new QWidget(this);
    Left->setFixedWidth(204);
    LeftColumn = new QVBoxLayout(Left);
    LeftColumn->setContentsMargins(4, 4, 4, 4);
}

void TListPage::AddSearch(const QStringList& columns) {
    searchColumns_ = columns;
    Search = new TSearchGroup(Left);
    LeftColumn->addWidget(Search);
    connect(Search->Btn_go, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { SearchClick(); }));
}

QPushButton* TListPage::AddFilterButton(const QString& missing) {
    auto* button = new QPushButton(QStringLiteral("Filter figures"), Left);
    LeftColumn->addWidget(button);
    connect(button, &QPushButton::clicked, this, CommandGuard::Slot([this, missing] {
                const QString key = List->KeyValue();
                if (key.isEmpty())
                    ShowMsg(missing);
                else if (ShowFigures)
                    ShowFigures(key);
            }));
    return button;
}

void TListPage::FinishPage(const QStringList& dataButtons, int margin) {
    // The per-page commands, kept out of sight: the toolbar runs them.
    auto* dataControls = new QGroupBox(QStringLiteral("Data controls"), Left);
    auto* dataColumn = new QVBoxLayout(dataControls);
    for (const QString& caption : dataButtons)
        dataColumn->addWidget(new QPushButton(caption, dataControls));
    dataControls->hide();
    LeftColumn->addWidget(dataControls);
    LeftColumn->addStretch();

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(Left);
    auto* listHolder = new QWidget(this);
    auto* holderLayout = new QVBoxLayout(listHolder);
    holderLayout->setContentsMargins(margin, margin, margin, margin);
    List->setParent(listHolder);
    holderLayout->addWidget(List);
    row->addWidget(listHolder, 1);
}

void TListPage::Reopen() {
    List->KeyField = keyField_;
    List->NameField = nameField_;
    List->Reopen();
}

// Add: a new record, its editor, and on Cancel the new record deleted again
// by its key, whichever record is current by then (none when it was never
// written). A record kept is read again with the list, so that it takes its
// place in the list's order, and stays current.
bool TListPage::ReadOnlyForYou() const {
    return ReadOnlyCatalog::Tell(List->Q1.DatabaseName, {List->TableName});
}

void TListPage::AddRecord(TP_Edit& editor) {
    if (ReadOnlyForYou())
        return;
    const QString key = List->AppendRecord();
    if (!editor.EditRecord(List->Q1)) {
        List->DeleteRecord(key);
        return;
    }
    List->Reopen();
    List->LocateKey(key);
}

// A record without a name is asked about as "" and deleted like any other;
// only an empty list has nothing to delete.
void TListPage::DeleteUnreferenced(const QString& column) {
    if (!List->Q1.Active() || List->Q1.IsEmpty() || ReadOnlyForYou())
        return;
    const QString name = List->NameValue();
    if (!column.isEmpty() && List->IsReferenced(QStringLiteral("figures"), column)) {
        ShowMsg(Quoted("Can't delete \nthe \"%1\";\nit's reffered by other table(s)", name) +
                QStringLiteral("\n") + QStringLiteral("(Figures)."));
        return;
    }
    if (Ask(Quoted("Delete \n\"%1\"?", name)))
        List->DeleteCurrent();
}

void TListPage::SearchClick() {
    const QString text = Search->SearchText();
    if (text.isEmpty())
        return;
    if (!List->Search(Search->SearchDown(), searchColumns_, text))
        ShowMsg(Quoted("Context\n\"%1\"\nnot found.", text));
}
