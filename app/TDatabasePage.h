#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// The page "Database management": back up, restore and pack, with the
// history of what packing did, and the export of the whole catalog in open
// forms into a folder.
class TDatabasePage : public QWidget {
    Q_OBJECT

public:
    explicit TDatabasePage(QWidget* parent = nullptr);

    void AddHistoryLine(const QString& text);
    void Label_clear_historyClick();
    // Asks for a folder and writes the catalog of "ADB" into it
    // (CatalogExport), with a progress bar and a message at the end.
    void btn_exportClick();

    QPushButton* btn_backup = nullptr;
    QPushButton* btn_restore = nullptr;
    QPushButton* btn_pack = nullptr;
    // Brings a CSV file into the figures.
    QPushButton* btn_import = nullptr;
    QPushButton* btn_export = nullptr;
    // Shown while an export runs.
    QProgressBar* PB_export = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label_clear_history = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
