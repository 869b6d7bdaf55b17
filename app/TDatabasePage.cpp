#include "TDatabasePage.h"

#include "BusyCursor.h"
#include "CatalogExport.h"
#include "CommandGuard.h"
#include "DialogFolders.h"
#include "DialogRunner.h"
#include "FolderKeeper.h"
#include "Msg.h"
#include "ReadOnlyCatalog.h"
#include "RecoverDataFolder.h"
#include "TCatalogDialog.h"
#include "TFBackUpRestore.h"
#include "TF_import_csv.h"
#include "TFpublish.h"
#include "TPageDialogs.h"
#include "TPmain.h"
#include "TablePacker.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QProgressBar>

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

namespace {

QFrame* Note(QWidget* parent, const QString& heading, const QStringList& lines,
             const QString& warning = {}) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(frame);
    auto* title = new QLabel(heading, frame);
    QFont bold = title->font();
    bold.setBold(true);
    title->setFont(bold);
    column->addWidget(title);
    for (const QString& line : lines) {
        auto* text = new QLabel(line, frame);
        text->setWordWrap(true);
        column->addWidget(text);
    }
    if (!warning.isEmpty()) {
        auto* text = new QLabel(warning, frame);
        text->setWordWrap(true);
        text->setStyleSheet(QStringLiteral("color: blue"));
        column->addWidget(text);
    }
    return frame;
}

} // namespace

TDatabasePage::TDatabasePage(QWidget* parent) : QWidget(parent) {
    btn_backup = new QPushButton(QStringLiteral("Back Up Database..."), this);
    btn_restore = new QPushButton(QStringLiteral("Restore Database..."), this);
    btn_pack = new QPushButton(QStringLiteral("Pack databse"), this);
    btn_export = new QPushButton(QStringLiteral("Export…"), this);
    for (QPushButton* button : {btn_backup, btn_restore, btn_pack, btn_export})
        button->setMinimumWidth(160);

    auto* grid = new QGridLayout;
    auto* archiveButtons = new QVBoxLayout;
    archiveButtons->addWidget(btn_backup);
    archiveButtons->addWidget(btn_restore);
    archiveButtons->addStretch();
    grid->addLayout(archiveButtons, 0, 0);
    grid->addWidget(Note(this, QStringLiteral("DataBase back up / restore:"),
                         {QStringLiteral("Periodically make backup archives of your database. ")},
                         QStringLiteral("IMPORTANT. If you restore database from archive file "
                                        "all data in your current database are replaced with "
                                        "data the archive file contains.")),
                    0, 1);
    auto* packButtons = new QVBoxLayout;
    packButtons->addWidget(btn_pack);
    packButtons->addStretch();
    grid->addLayout(packButtons, 1, 0);
    grid->addWidget(Note(this, QStringLiteral("DataBase packing:"),
                         {QStringLiteral("Periodically pack your database to optimize its "
                                         "internal structure.")}),
                    1, 1);
    auto* exportButtons = new QVBoxLayout;
    exportButtons->addWidget(btn_export);
    btn_publish = new QPushButton(QStringLiteral("Publish catalog…"), this);
    btn_publish->setMinimumWidth(160);
    exportButtons->addWidget(btn_publish);
    exportButtons->addStretch();
    grid->addLayout(exportButtons, 2, 0);
    grid->addWidget(Note(this, QStringLiteral("Export:"),
                         {QStringLiteral("Write the whole catalog into a folder in open forms: CSV "
                                         "files a spreadsheet program opens, the pictures and "
                                         "the manuals as files. velmora-tool import reads such "
                                         "a folder back."),
                          QStringLiteral("Publish the catalog as a web site with an index, "
                                         "search and a page for every figure.")}),
                    2, 1);
    btn_catalog = new QPushButton(QStringLiteral("Catalog…"), this);
    btn_catalog->setMinimumWidth(160);
    auto* catalogButtons = new QVBoxLayout;
    catalogButtons->addWidget(btn_catalog);
    catalogButtons->addStretch();
    grid->addLayout(catalogButtons, 4, 0);
    grid->addWidget(Note(this, QStringLiteral("Catalog:"),
                         {QStringLiteral("Open the catalog in this computer's data folder, or a "
                                         "catalog several people share on a database server.")}),
                    4, 1);
    grid->setColumnStretch(1, 1);
    PB_export = new QProgressBar(this);
    PB_export->setVisible(false);
    connect(btn_export, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_exportClick(); }));
    connect(btn_publish, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_publishClick(); }));

    btn_import = new QPushButton(QStringLiteral("Import…"), this);
    btn_import->setMinimumWidth(160);
    auto* importButtons = new QVBoxLayout;
    importButtons->addWidget(btn_import);
    importButtons->addStretch();
    grid->addLayout(importButtons, 3, 0);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setReadOnly(true);
    Memo1->setFrameShape(QFrame::NoFrame);
    Memo1->setFixedHeight(89);
    Label_clear_history = new QLabel(QStringLiteral("Clear history"), this);
    Label_clear_history->setAlignment(Qt::AlignCenter);
    QFont underlined = Label_clear_history->font();
    underlined.setUnderline(true);
    Label_clear_history->setFont(underlined);
    Label_clear_history->setCursor(Qt::PointingHandCursor);
    Label_clear_history->installEventFilter(this);

    auto* column = new QVBoxLayout(this);
    column->addLayout(grid);
    column->addWidget(PB_export);
    column->addStretch();
    column->addWidget(Memo1);
    column->addWidget(Label_clear_history);
}

void TDatabasePage::AddHistoryLine(const QString& text) {
    Memo1->appendPlainText(text);
}

void TDatabasePage::Label_clear_historyClick() {
    Memo1->clear();
}

void TDatabasePage::btn_publishClick() {
    TFpublish dialog(this);
    DialogRunner::Exec(dialog);
}

void TDatabasePage::btn_exportClick() {
    QString folder;
    {
        FolderKeeper keeper;
        QFileDialog dialog(this, QStringLiteral("Export the catalog to a folder"));
        dialog.setOption(QFileDialog::DontUseNativeDialog);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly);
        dialog.setDirectory(DialogFolders::StartFolder(DialogFolders::Kind::Exports));
        if (DialogRunner::Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return;
        folder = QDir(dialog.selectedFiles().constFirst()).absolutePath();
        DialogFolders::Remember(DialogFolders::Kind::Exports, folder);
    }

    CatalogExport exporter(folder, CatalogExport::Scope::Everything);
    exporter.SetProgress([this](int done, int total) {
        PB_export->setMaximum(total);
        PB_export->setValue(done);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    PB_export->setValue(0);
    PB_export->setVisible(true);
    btn_export->setEnabled(false);
    try {
        BusyCursor busy;
        exporter.Run();
    } catch (...) {
        PB_export->setVisible(false);
        btn_export->setEnabled(true);
        throw;
    }
    PB_export->setVisible(false);
    btn_export->setEnabled(true);
    ShowMsg(QStringLiteral("The catalog has been exported to %1\n\n%2")
                .arg(QDir::toNativeSeparators(folder), exporter.SummaryLines().join('\n')));
}

void TDatabasePage::Attach(TPmain& window, TPageDialogs& dialogs,
                           std::function<void()> refreshAll) {
    window_ = &window;
    dialogs_ = &dialogs;
    refreshAll_ = std::move(refreshAll);
    connect(btn_backup, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_backupClick(); }));
    connect(btn_restore, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_restoreClick(); }));
    connect(btn_pack, &QPushButton::clicked, this, CommandGuard::Slot([this] { btn_packClick(); }));
    connect(btn_import, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_importClick(); }));
    connect(btn_catalog, &QPushButton::clicked, this,
            CommandGuard::Slot([this] { btn_catalogClick(); }));
}

void TDatabasePage::btn_catalogClick() {
    QString server;
    {
        TCatalogDialog dialog(window_->DB1.Server, this);
        if (DialogRunner::Exec(dialog) != QDialog::Accepted)
            return;
        server = dialog.Server();
    }
    if (server == window_->DB1.Server)
        return;
    // The lists are read again also when the previous catalog stays.
    window_->OpenCatalog(server);
    refreshAll_();
}

void TDatabasePage::btn_backupClick() {
    window_->DB1.Close();
    // The data folder as an absolute path: the working folder's parent and
    // the data folder's name.
    const QString dataFolder = QDir::cleanPath(QDir::current().absoluteFilePath(window_->DataPath));
    dialogs_->BackUpRestore().OpenBackup(dataFolder);
    refreshAll_();
}

void TDatabasePage::btn_restoreClick() {
    window_->DB1.Close();
    dialogs_->BackUpRestore().OpenRestore(window_->DataPath, false);
    // A swap that could be neither finished nor undone leaves files outside
    // the data folder: opening the database there would make an empty one,
    // so the program ends and the next start tries again.
    if (!RecoverDataFolder(window_->DataPath)) {
        window_->close();
        return;
    }
    window_->CheckDatabaseStructure();
    refreshAll_();
}

void TDatabasePage::btn_packClick() {
    if (ReadOnlyCatalog::Tell(
            window_->DB1.DatabaseName(),
            {QStringLiteral("figures"), QStringLiteral("producers"), QStringLiteral("genres")}))
        return;
    if (!Ask(QStringLiteral("Pack database now?")))
        return;
    // What failed is told in the history.
    ShowMsg(PackDatabase() ? QStringLiteral("Packing OK")
                           : QStringLiteral("Packing finished with errors. See the history."));
}

bool TDatabasePage::PackDatabase() {
    const BusyCursor busy;
    window_->DB1.Close();
    const bool packed = TablePacker(window_->DB1.DatabaseName()).Pack([this](const QString& line) {
        AddHistoryLine(line);
    });
    refreshAll_();
    AddHistoryLine(QStringLiteral("Done"));
    return packed;
}

void TDatabasePage::btn_importClick() {
    if (!F_import_csv) {
        F_import_csv = new TF_import_csv(window_);
        F_import_csv->Imported = [this] { refreshAll_(); };
    }
    F_import_csv->Execute();
}

bool TDatabasePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label_clear_history && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label_clear_historyClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
