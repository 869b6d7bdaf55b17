#pragma once

#include "CsvImportFile.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableWidget;
class CsvImportMapping;

// The window that brings a spreadsheet's CSV file into the figures: the
// file, a preview of its first rows with a field chosen for each column,
// the progress with Stop, and the summary. The work is CsvImport's.
class TF_import_csv : public QDialog {
    Q_OBJECT

public:
    explicit TF_import_csv(QWidget* parent = nullptr);

    // Shows the window modally, empty, until it is closed.
    void Execute();
    // Reads the file and shows its preview; false (with the reason shown
    // in the summary box) when it cannot be read.
    bool OpenFile(const QString& fileName);
    // The mapping the column combo boxes show.
    CsvImportMapping Mapping() const;
    // Imports the file with that mapping and shows the summary.
    void btn_importClick();
    void btn_stopClick();
    void btn_browseClick();

    // Called after an import has changed the catalog.
    std::function<void()> Imported;

    QLineEdit* Edit_file = nullptr;
    QPushButton* btn_browse = nullptr;
    QLabel* Label_format = nullptr;
    QTableWidget* Grid_preview = nullptr;
    QList<QComboBox*> CmB_fields;
    QProgressBar* PB1 = nullptr;
    QPushButton* btn_import = nullptr;
    QPushButton* btn_stop = nullptr;
    QPushButton* btn_close = nullptr;
    QPlainTextEdit* Memo_summary = nullptr;

protected:
    void reject() override;

private:
    void Clear();
    void ShowPreview();
    void SetRunning(bool running);

    CsvImportFile file_;
    bool loaded_ = false;
    bool running_ = false;
    bool stopRequested_ = false;
};
