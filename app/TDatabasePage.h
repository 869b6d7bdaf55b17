#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class TF_import_csv;
class TPageDialogs;
class TPmain;

// The page "Database management": back up, restore and pack, with the
// history of what packing did, and the export of the whole catalog in open
// forms into a folder, and the choice of the catalog.
class TDatabasePage : public QWidget {
    Q_OBJECT

public:
    explicit TDatabasePage(QWidget* parent = nullptr);

    void AddHistoryLine(const QString& text);
    void Label_clear_historyClick();
    // Asks for a folder and writes the catalog of "ADB" into it
    // (CatalogExport), with a progress bar and a message at the end.
    void btn_exportClick();
    // "Publish catalog…": the catalog as a web site (TFpublish).
    void btn_publishClick();

    // The commands on the window's catalog: back up, restore, pack and
    // import; refreshAll reads the window's lists again after them.
    void Attach(TPmain& window, TPageDialogs& dialogs, std::function<void()> refreshAll);
    void btn_backupClick();
    void btn_restoreClick();
    // Asks, packs the catalog's tables with their history, and reports.
    void btn_packClick();
    // Closes the lists, packs, and opens them again. False when a table or
    // the compaction failed (told in the history).
    bool PackDatabase();
    // "Import…": the CSV import window; the lists refresh after an import.
    void btn_importClick();
    // "Catalog…": another catalog, this computer's or one on a database
    // server; the lists are read again on it.
    void btn_catalogClick();

    QPushButton* btn_backup = nullptr;
    QPushButton* btn_restore = nullptr;
    QPushButton* btn_pack = nullptr;
    // Brings a CSV file into the figures.
    QPushButton* btn_import = nullptr;
    QPushButton* btn_export = nullptr;
    QPushButton* btn_publish = nullptr;
    QPushButton* btn_catalog = nullptr;
    // Shown while an export runs.
    QProgressBar* PB_export = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label_clear_history = nullptr;
    TF_import_csv* F_import_csv = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TPmain* window_ = nullptr;
    TPageDialogs* dialogs_ = nullptr;
    std::function<void()> refreshAll_;
};
