#include "TFBackUpRestore.h"

#include "Archive.h"
#include "CommandGuard.h"
#include "DialogFolders.h"
#include "DialogRunner.h"
#include "FolderKeeper.h"
#include "Msg.h"
#include "RecoverDataFolder.h"
#include "TDatabase.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <functional>
#include <utility>

namespace {

QLabel* Caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont bold = label->font();
    bold.setBold(true);
    label->setFont(bold);
    return label;
}

// One page: its caption, the read-only file field with its "..." button and
// the progress bar.
QWidget* Page(const QString& caption, QLabel*& label, QLineEdit*& edit, QToolButton*& browse,
              QProgressBar*& progress) {
    auto* page = new QWidget;
    label = Caption(caption, page);
    edit = new QLineEdit(page);
    edit->setReadOnly(true);
    browse = new QToolButton(page);
    browse->setText(QStringLiteral("..."));
    progress = new QProgressBar(page);
    progress->setRange(0, 100);
    progress->setValue(0);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(edit, 1);
    fileRow->addWidget(browse);
    auto* column = new QVBoxLayout(page);
    column->addWidget(label);
    column->addLayout(fileRow);
    column->addWidget(progress);
    return page;
}

// Characters no file name can hold on one system or another.
QString FileNameSafe(QString text) {
    for (QChar& c : text) {
        if (QStringLiteral("/\\:*?\"<>|").contains(c) || c.unicode() < 0x20)
            c = QLatin1Char('-');
    }
    return text;
}

} // namespace

TFBackUpRestore::TFBackUpRestore(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      WorkingFolder(QDir::currentPath()) {
    setObjectName(QStringLiteral("FBackUpRestore"));
    setWindowTitle(QStringLiteral("Backing up"));

    PageControl1 = new QTabWidget(this);
    TabSheet1 =
        Page(QStringLiteral("Where to put archive:"), Label1, FileEdit1, SB_1, ProgressBar1);
    TabSheet2 = Page(QStringLiteral("Archive file to restore the DB from:"), Label2, FileEdit2,
                     SB_2, ProgressBar2);
    Label_attention = Caption(QStringLiteral("ATTENTION! Current data will be completelly "
                                             "replaced with the data from the archive."),
                              TabSheet2);
    Label_attention->setWordWrap(true);
    Label_attention->setStyleSheet(QStringLiteral("color: red"));
    TabSheet2->layout()->addWidget(Label_attention);
    for (QWidget* page : {TabSheet1, TabSheet2})
        static_cast<QVBoxLayout*>(page->layout())->addStretch();
    PageControl1->addTab(TabSheet1, QStringLiteral("BackUp"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Restore"));
    // Only the page chosen on opening shows.
    PageControl1->tabBar()->hide();

    btn_ok = new QPushButton(QStringLiteral("OK"), this);
    btn_ok->setDefault(true);
    btn_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    btn_stop = new QPushButton(QStringLiteral("Stop"), this);
    btn_stop->setEnabled(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btn_stop);
    buttons->addStretch();
    buttons->addWidget(btn_ok);
    buttons->addWidget(btn_cancel);
    auto* column = new QVBoxLayout(this);
    column->addWidget(PageControl1);
    column->addLayout(buttons);

    connect(btn_ok, &QPushButton::clicked, this, CommandGuard::Slot([this] { btn_okClick(); }));
    connect(btn_cancel, &QPushButton::clicked, this, CommandGuard::Slot([this] { reject(); }));
    connect(btn_stop, &QPushButton::clicked, this, CommandGuard::Slot([this] { btn_stopClick(); }));
    connect(SB_1, &QToolButton::clicked, this, CommandGuard::Slot([this] { SB_1Click(); }));
    connect(SB_2, &QToolButton::clicked, this, CommandGuard::Slot([this] { SB_2Click(); }));

    // Large enough for either page.
    setFixedSize(sizeHint().expandedTo(QSize(440, 0)));
}

void TFBackUpRestore::EnsureArchiveFolder() {
    if (QFileInfo(ArchiveFolder).isDir())
        return;
    if (!QDir().mkdir(ArchiveFolder))
        ShowMsg(QStringLiteral("Can not create default archive folder"));
}

QString TFBackUpRestore::DefaultArchiveName(const QString& dataFolder, const QDate& day) const {
    const QString folder = QDir::cleanPath(QDir::fromNativeSeparators(dataFolder));
    const QString name = QFileInfo(folder).fileName().section(QLatin1Char('.'), 0, 0);
    // The default locale is the system's: the program never sets another.
    QString date = QLocale().toString(day, QLocale::ShortFormat);
    date.replace(QLatin1Char('.'), QLatin1Char('-'));
    return ArchiveFolder + name + QStringLiteral("-") + FileNameSafe(date) + QStringLiteral(".tba");
}

void TFBackUpRestore::OpenBackup(const QString& dataFolder) {
    EnsureArchiveFolder();
    WorkingFolder = QDir::currentPath();
    DataFolder = dataFolder;
    PageControl1->setCurrentWidget(TabSheet1);
    setWindowTitle(QStringLiteral("Backing up"));
    FileEdit1->setText(QDir::toNativeSeparators(DefaultArchiveName(dataFolder)));
    ShowModal();
}

void TFBackUpRestore::OpenRestore(const QString& dataFolder, bool hideWarning) {
    EnsureArchiveFolder();
    Label_attention->setVisible(!hideWarning);
    DataFolder = dataFolder;
    WorkingFolder = QDir::currentPath();
    // The open dialog starts in the archive folder.
    QDir::setCurrent(ArchiveFolder);
    PageControl1->setCurrentWidget(TabSheet2);
    setWindowTitle(QStringLiteral("Restoring from archive"));
    ProgressBar2->setValue(0);
    ShowModal();
}

void TFBackUpRestore::ShowModal() {
    btn_ok->setFocus();
    DialogRunner::Exec(*this);
    // Also when whoever ran the dialog did not close it.
    ReturnToWorkingFolder();
}

void TFBackUpRestore::SB_1Click() {
    const QFileInfo proposed(QDir::fromNativeSeparators(FileEdit1->text()));
    const FolderKeeper keeper;
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(QString::fromLatin1(ArchiveFilter));
    dialog.setDirectory(proposed.absolutePath());
    dialog.selectFile(proposed.fileName());
    if (DialogRunner::Exec(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        FileEdit1->setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
        DialogFolders::Remember(DialogFolders::Kind::Archives, dialog.selectedFiles().constFirst());
    }
}

void TFBackUpRestore::SB_2Click() {
    const FolderKeeper keeper;
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilter(QString::fromLatin1(ArchiveFilter));
    // The archive folder the restore page moved to, until archives were
    // chosen elsewhere.
    const QString remembered = DialogFolders::Remembered(DialogFolders::Kind::Archives);
    dialog.setDirectory(remembered.isEmpty() ? QDir::currentPath() : remembered);
    if (DialogRunner::Exec(dialog) == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        FileEdit2->setText(QDir::toNativeSeparators(dialog.selectedFiles().constFirst()));
        DialogFolders::Remember(DialogFolders::Kind::Archives, dialog.selectedFiles().constFirst());
    }
}

void TFBackUpRestore::btn_stopClick() {
    StopRequested = true;
}

bool TFBackUpRestore::SameFolder(const QString& folderA, const QString& folderB) const {
    const auto resolved = [this](const QString& folder) {
        QDir dir(WorkingFolder);
        if (!folder.isEmpty())
            dir.cd(QDir::fromNativeSeparators(folder)); // stays put when it fails
        return dir.canonicalPath();
    };
    return resolved(folderA) == resolved(folderB);
}

void TFBackUpRestore::btn_okClick() {
    if (running_)
        return;
    if (PageControl1->currentWidget() == TabSheet1)
        RunBackup();
    else if (PageControl1->currentWidget() == TabSheet2)
        RunRestore();
    ProgressBar1->setValue(0);
    accept();
}

void TFBackUpRestore::RunBackup() {
    StopRequested = false;
    const QString archive = QDir::fromNativeSeparators(FileEdit1->text());
    if (SameFolder(QFileInfo(archive).path(), DataFolder)) {
        ShowMsg(QStringLiteral("The archive and the database can not be placed in the same "
                               "folder"));
        return;
    }
    QDir::setCurrent(WorkingFolder);
    if (!RecoverDataFolder(DataFolder))
        return;
    QString fault;
    EngineConnection* server = ServerConnection();
    const int result = RunOperation([&] {
        const TArchiveProgress progress = [this](int percent, bool& stop) {
            BackUpProgress(percent, stop);
        };
        return server ? PackServer(*server, archive, progress, fault)
                      : PackFolder(DataFolder, archive, progress, fault);
    });
    if (result == ArchiveResult::Done) {
        ShowMsg(QStringLiteral("Archive has been created"));
    } else if (fault.isEmpty()) {
        ShowMsg(QStringLiteral("Archive creation error"));
    } else {
        // Why the catalog could not be packed, or would not restore.
        fault[0] = fault[0].toUpper();
        ShowMsg(QStringLiteral("Archive creation error\n%1; no archive was written.").arg(fault));
    }
}

void TFBackUpRestore::RunRestore() {
    const QString archive = QDir::fromNativeSeparators(FileEdit2->text());
    if (SameFolder(DataFolder, QFileInfo(archive).path())) {
        ShowMsg(QStringLiteral("The archive and the database can not be placed in the same "
                               "folder"));
        return;
    }
    QDir::setCurrent(WorkingFolder);
    StopRequested = false;
    if (!RecoverDataFolder(DataFolder))
        return;
    QString fault;
    EngineConnection* server = ServerConnection();
    const int result = RunOperation([&] {
        const TArchiveProgress progress = [this](int percent, bool& stop) {
            RestoreProgress(percent, stop);
        };
        const TImportOldTables importOld = [] {
            return Ask(QStringLiteral("This archive holds tables of an older version. "
                                      "Import them into a new catalog?"));
        };
        return server ? UnpackIntoServer(archive, *server, progress, fault, importOld)
                      : UnpackArchive(archive, DataFolder, progress, fault, importOld);
    });
    if (result == ArchiveResult::Done)
        ShowMsg(QStringLiteral("Database has been restored"));
    else if (result == ArchiveResult::RollBackFailed)
        ShowMsg(RestoreNotRolledBackMessage(DataFolder));
    else
        ShowMsg(RestoreErrorMessage(fault));
    ProgressBar2->setValue(0);
}

EngineConnection* TFBackUpRestore::ServerConnection() const {
    const TDatabase* database = TDatabase::Find(DatabaseName);
    if (!database || !database->OnServer())
        return nullptr;
    // The caller closed it; the server is reached again as the catalog is.
    return TDatabase::Connected(DatabaseName).Handle();
}

QString TFBackUpRestore::RestoreErrorMessage(const QString& fault) {
    // Every failure but a swap that could not be undone leaves the data
    // folder's files as they were.
    QString reason = fault.isEmpty() ? QStringLiteral("the restore failed") : fault;
    reason[0] = reason[0].toUpper();
    return QStringLiteral("Database restore error\n%1; the data folder is unchanged.").arg(reason);
}

// Window messages are processed before the answer, so that a "Stop" pressed
// meanwhile ends the operation after this very piece.
void TFBackUpRestore::BackUpProgress(int percent, bool& stop) {
    ProgressBar1->setValue(percent);
    QApplication::processEvents();
    stop = StopRequested;
}

void TFBackUpRestore::RestoreProgress(int percent, bool& stop) {
    ProgressBar2->setValue(percent);
    QApplication::processEvents();
    stop = StopRequested;
}

int TFBackUpRestore::RunOperation(const std::function<int()>& operation) {
    SetRunning(true);
    try {
        const int result = operation();
        SetRunning(false);
        return result;
    } catch (...) {
        SetRunning(false);
        throw;
    }
}

// While an operation runs only "Stop" is available, and the dialog cannot
// be closed.
void TFBackUpRestore::SetRunning(bool running) {
    running_ = running;
    for (QWidget* control : std::initializer_list<QWidget*>{btn_ok, btn_cancel, SB_1, SB_2})
        control->setEnabled(!running);
    btn_stop->setEnabled(running);
    if (running)
        btn_stop->setFocus();
    else
        btn_ok->setFocus();
}

void TFBackUpRestore::done(int result) {
    if (running_)
        return;
    QDialog::done(result);
    ReturnToWorkingFolder();
}

void TFBackUpRestore::ReturnToWorkingFolder() {
    if (!WorkingFolder.isEmpty())
        QDir::setCurrent(WorkingFolder);
}
