#include "TF_import_csv.h"

#include "CommandGuard.h"
#include "CsvImport.h"
#include "CsvImportMapping.h"
#include "DialogFolders.h"
#include "DialogRunner.h"
#include "FolderKeeper.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QString SeparatorName(char separator) {
    switch (separator) {
    case ';':
        return QStringLiteral("semicolon");
    case '\t':
        return QStringLiteral("tab");
    default:
        return QStringLiteral("comma");
    }
}

} // namespace

TF_import_csv::TF_import_csv(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Import figures from a CSV file"));
    resize(720, 520);

    Edit_file = new QLineEdit(this);
    Edit_file->setPlaceholderText(QStringLiteral("CSV file"));
    btn_browse = new QPushButton(QStringLiteral("Choose file..."), this);
    Label_format = new QLabel(this);
    Grid_preview = new QTableWidget(this);
    Grid_preview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Grid_preview->verticalHeader()->setDefaultSectionSize(22);
    PB1 = new QProgressBar(this);
    btn_import = new QPushButton(QStringLiteral("Import"), this);
    btn_stop = new QPushButton(QStringLiteral("Stop"), this);
    btn_close = new QPushButton(QStringLiteral("Close"), this);
    Memo_summary = new QPlainTextEdit(this);
    Memo_summary->setReadOnly(true);
    Memo_summary->setFixedHeight(110);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(new QLabel(QStringLiteral("File:"), this));
    fileRow->addWidget(Edit_file, 1);
    fileRow->addWidget(btn_browse);
    auto* runRow = new QHBoxLayout;
    runRow->addWidget(PB1, 1);
    runRow->addWidget(btn_import);
    runRow->addWidget(btn_stop);
    runRow->addWidget(btn_close);
    auto* column = new QVBoxLayout(this);
    column->addLayout(fileRow);
    column->addWidget(Label_format);
    column->addWidget(new QLabel(
        QStringLiteral("The first rows; choose for each column the field it goes to:"), this));
    column->addWidget(Grid_preview, 1);
    column->addLayout(runRow);
    column->addWidget(Memo_summary);

    // Return in the file box reads the file; it presses no button.
    for (QPushButton* button : {btn_browse, btn_import, btn_stop, btn_close})
        button->setAutoDefault(false);
    connect(Edit_file, &QLineEdit::returnPressed, this,
            CommandGuard::Slot([this] { OpenFile(Edit_file->text()); }));
    connect(btn_browse, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_browseClick(); }));
    connect(btn_import, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_importClick(); }));
    connect(btn_stop, &QPushButton::clicked, this, CommandGuard::Slot([this] { btn_stopClick(); }));
    connect(btn_close, &QPushButton::clicked, this, &QDialog::reject);
    Clear();
}

void TF_import_csv::Execute() {
    Clear();
    Edit_file->clear();
    Edit_file->setFocus();
    DialogRunner::Exec(*this);
}

void TF_import_csv::Clear() {
    loaded_ = false;
    file_ = CsvImportFile();
    Label_format->clear();
    Grid_preview->clear();
    Grid_preview->setRowCount(0);
    Grid_preview->setColumnCount(0);
    CmB_fields.clear();
    Memo_summary->clear();
    PB1->setValue(0);
    SetRunning(false);
}

void TF_import_csv::btn_browseClick() {
    QString fileName;
    {
        // The program addresses its files relative to the working folder.
        const FolderKeeper keeper;
        QFileDialog dialog(this, QStringLiteral("Choose a CSV file"));
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::ExistingFile);
        dialog.setNameFilters(
            {QStringLiteral("CSV files (*.csv *.txt)"), QStringLiteral("All files (*)")});
        dialog.setDirectory(DialogFolders::StartFolder(DialogFolders::Kind::Exports));
        if (DialogRunner::Exec(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
            fileName = dialog.selectedFiles().constFirst();
        DialogFolders::Remember(DialogFolders::Kind::Exports, fileName);
    }
    if (!fileName.isEmpty())
        OpenFile(fileName);
}

bool TF_import_csv::OpenFile(const QString& fileName) {
    Clear();
    Edit_file->setText(fileName);
    if (!file_.Load(fileName)) {
        Memo_summary->setPlainText(file_.Error());
        return false;
    }
    loaded_ = true;
    Label_format->setText(
        QStringLiteral("Encoding: %1; separator: %2; rows: %3")
            .arg(CsvImportText::EncodingName(file_.Encoding()), SeparatorName(file_.Separator()))
            .arg(file_.Rows().size()));
    ShowPreview();
    SetRunning(false);
    return true;
}

void TF_import_csv::ShowPreview() {
    const QStringList& header = file_.Header();
    const QList<QStringList> rows = file_.Preview();
    Grid_preview->setColumnCount(static_cast<int>(header.size()));
    Grid_preview->setHorizontalHeaderLabels(header);
    // Row 0 holds the field of each column, the preview follows.
    Grid_preview->setRowCount(static_cast<int>(rows.size()) + 1);
    QStringList rowLabels{QStringLiteral("Field")};
    for (int i = 0; i < rows.size(); ++i)
        rowLabels << QString::number(i + 1);
    Grid_preview->setVerticalHeaderLabels(rowLabels);
    const CsvImportMapping guess = CsvImportMapping::Guess(header);
    for (int column = 0; column < header.size(); ++column) {
        auto* combo = new QComboBox(Grid_preview);
        combo->addItems(CsvImportMapping::Fields());
        combo->setCurrentText(guess.Field(column));
        Grid_preview->setCellWidget(0, column, combo);
        CmB_fields << combo;
        for (int row = 0; row < rows.size(); ++row)
            Grid_preview->setItem(row + 1, column, new QTableWidgetItem(rows[row].value(column)));
    }
    Grid_preview->resizeColumnsToContents();
}

CsvImportMapping TF_import_csv::Mapping() const {
    CsvImportMapping mapping(file_.Header());
    for (int column = 0; column < CmB_fields.size(); ++column)
        mapping.SetField(column, CmB_fields[column]->currentText());
    return mapping;
}

void TF_import_csv::SetRunning(bool running) {
    running_ = running;
    btn_import->setEnabled(!running && loaded_);
    btn_stop->setEnabled(running);
    btn_close->setEnabled(!running);
    btn_browse->setEnabled(!running);
    Edit_file->setEnabled(!running);
    Grid_preview->setEnabled(!running);
}

void TF_import_csv::btn_importClick() {
    if (!loaded_ || running_)
        return;
    const CsvImportMapping mapping = Mapping();
    const QString problem = mapping.Problem();
    if (!problem.isEmpty()) {
        Memo_summary->setPlainText(QStringLiteral("Nothing was imported: %1").arg(problem));
        return;
    }
    stopRequested_ = false;
    SetRunning(true);
    Memo_summary->setPlainText(QStringLiteral("Importing..."));
    PB1->setValue(0);
    const CsvImportSummary summary = CsvImport().Run(file_, mapping, [this](int done, int total) {
        PB1->setMaximum(std::max(total, 1));
        PB1->setValue(done);
        // Keeps the window alive, so that Stop can be pressed.
        QApplication::processEvents();
        return !stopRequested_;
    });
    SetRunning(false);
    Memo_summary->setPlainText(summary.Lines().join(QLatin1Char('\n')));
    if (summary.Imported() &&
        summary.added + summary.producersCreated + summary.genresCreated > 0 && Imported)
        Imported();
}

void TF_import_csv::btn_stopClick() {
    stopRequested_ = true;
}

void TF_import_csv::reject() {
    // Closing waits for a running import: Stop ends it.
    if (!running_)
        QDialog::reject();
}
