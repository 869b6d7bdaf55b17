#pragma once

#include <QWidget>

#include <functional>

class QPushButton;
class QVBoxLayout;
class TO_ci;
class TP_Edit;
class TPageDialogs;
class TSearchGroup;

// A catalog page: a column of controls on the left (searches, filters)
// beside one of the catalog lists, and the page's commands on its records,
// which the window's toolbar, menu and keys run.
class TListPage : public QWidget {
    Q_OBJECT

public:
    // The record commands of the page's list.
    virtual void AddClick() = 0;
    virtual void EditClick() = 0;
    virtual void DeleteClick() = 0;

    // Reads the list again, as it stands in the database.
    void Reopen();

    TO_ci* List = nullptr;
    TSearchGroup* Search = nullptr;
    // Told when a command of the page changed what the list holds.
    std::function<void()> ListChanged;
    // Told by the "Filter figures" button with the current record's key.
    std::function<void(const QString& key)> ShowFigures;

protected:
    // The page takes list; its key and name columns are keyField and
    // nameField.
    TListPage(TO_ci* list, TPageDialogs& dialogs, QString keyField, QString nameField);

    // The left column's parts, top to bottom: what a page puts above the
    // search goes into Left first.
    void AddSearch(const QStringList& columns);
    // "Filter figures": the figures of the current record, or missing when
    // none is current.
    QPushButton* AddFilterButton(const QString& missing);
    // The page's commands kept out of sight under dataButtons, and the list
    // with margin around it.
    void FinishPage(const QStringList& dataButtons, int margin);

    // A new record, its editor, and on Cancel the new record deleted again.
    void AddRecord(TP_Edit& editor);
    // Asks and deletes the current record; with a column, not while
    // figures refer to the record by it.
    void DeleteUnreferenced(const QString& column);
    void SearchClick();
    // Whether this user may only read the list's table, after saying so.
    bool ReadOnlyForYou() const;

    TPageDialogs& Dialogs;
    QWidget* Left = nullptr;
    QVBoxLayout* LeftColumn = nullptr;

private:
    QString keyField_;
    QString nameField_;
    QStringList searchColumns_;
};
