#pragma once

#include <QFileIconProvider>
#include <QFrame>
#include <QString>

#include <functional>

class QPushButton;
class QTreeWidget;

// The files attached to a figure: one row per file with the desktop's icon
// for it, its name, path, size in bytes and date, and the buttons "Add a
// file to list", "Remove from list" and "Open file" on the right. The figure
// keeps the list as text: every path followed by CR LF. A stored path whose
// file cannot be found now (a drive not mounted, a file renamed for a while)
// keeps its row, greyed, "(missing)" after its name, without size or date.
class TO_filelist : public QFrame {
    Q_OBJECT

public:
    // The list's columns.
    enum Column { NameColumn, PathColumn, SizeColumn, DateColumn };

    explicit TO_filelist(QWidget* parent = nullptr);

    // Shown after the name of a file that cannot be found.
    static QString MissingText();

    // Replaces the rows with the files named by the lines of text (split at
    // CR and LF, blank lines skipped), in order; every path keeps its row,
    // found or not. The list counts as unchanged afterwards. The current
    // folder is kept.
    void LoadFromText(const QString& text);
    // The path of every row in order, each followed by CR LF; empty without
    // rows. The current folder is kept.
    QString SaveToText() const;
    // Adds a row for the file (or folder) at path, as written; a path that
    // names nothing is skipped silently.
    void AddFile(const QString& path);
    // The number of rows.
    int Count() const;
    // Whether a row was added or removed since the last LoadFromText.
    bool Modified() const;

    // Chooses a file in the dialog "Select a file to add to the list" and
    // adds it; the current folder is the same afterwards.
    void btn_addClick();
    // Asks before removing the selected row; the file itself stays.
    void btn_removeClick();
    // Hands the selected file to its program; a failure shows its message.
    void btn_openClick();

    // What "Open file" hands the path to, with the results of
    // ShellOpen::OpenFile (LastError and below are failures). Tests replace
    // it to produce failures the machine cannot.
    std::function<int(const QString&)> ShellOpenFile;

    QTreeWidget* LV1;
    QPushButton* btn_add;
    QPushButton* btn_remove;
    QPushButton* btn_open;

private:
    // A row for a stored path whose file cannot be found.
    void AddMissingFile(const QString& path);

    // The desktop's file icons, made once with the frame.
    QFileIconProvider ImageList_small;
    bool modified_ = false;
};
