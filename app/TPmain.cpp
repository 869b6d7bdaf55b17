#include "TPmain.h"

#include "CatalogChoice.h"
#include "CommandGuard.h"
#include "ConnectionText.h"
#include "DialogRunner.h"
#include "Msg.h"
#include "RecoverDataFolder.h"
#include "TF_check_DB.h"

#include <QDesktopServices>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QUrl>

#include <exception>

TPmain::TPmain(QWidget* parent) : QMainWindow(parent), DB1(QStringLiteral("ADB")) {
    StatusBar1 = new QStatusBar(this);
    for (QLabel*& panel : panels_) {
        panel = new QLabel(StatusBar1);
        panel->setFixedWidth(50);
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        StatusBar1->addWidget(panel);
    }
    CatalogPanel = new QLabel(StatusBar1);
    StatusBar1->addPermanentWidget(CatalogPanel);
    setStatusBar(StatusBar1);
    DB1.BeforeConnect = [this](TDatabase& database) { DB1BeforeConnect(database); };
    resize(800, 600);
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    FormCreate();
}

QLabel* TPmain::StatusPanel(int index) const {
    return index >= 0 && index < 2 ? panels_[index] : nullptr;
}

void TPmain::FormCreate() {
    firstActivation_ = true;
}

bool TPmain::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    if (event->type() == QEvent::WindowActivate && firstActivation_)
        CommandGuard::Run([this] { FormActivate(); });
    return handled;
}

void TPmain::FormActivate() {
    if (!firstActivation_)
        return;
    // The sequence runs once, also when its own dialogs reactivate the window.
    firstActivation_ = false;
    if (!InitApplication()) {
        ShowMsg(QStringLiteral("Can not init the application"));
        close();
        return;
    }
    showMaximized();
}

bool TPmain::InitApplication() {
    DataPath = QStringLiteral("../LDB");
    // A restore that a crash interrupted is finished or undone before the
    // database is opened.
    if (!RecoverDataFolder(DataPath))
        return false;
    DB1.Close();
    DB1.Server = CommandLineCatalog.isEmpty() ? CatalogChoice::Stored() : CommandLineCatalog;
    ShowCatalog();
    DB1.PasswordCallback = [this](QString& password) { return AskTablePassword(password); };
    try {
        DB1.Open();
    } catch (const std::exception& error) {
        // The structure check connects again to the file and reports what
        // matters; a server that cannot be reached (or a password not
        // given) ends the start here.
        if (DB1.OnServer()) {
            ShowMsg(ServerFailure(QString::fromUtf8(error.what())));
            return false;
        }
    }
    if (!QDir().mkpath(DataPath) || !QFileInfo(DataPath).isDir())
        return false;
    return CheckDatabaseStructure();
}

QString TPmain::ServerFailure(const QString& reason) const {
    return QStringLiteral("Can not open the catalog on the server\n%1\n%2")
        .arg(ConnectionText::WithoutPassword(DB1.Server), reason.trimmed());
}

void TPmain::ShowCatalog() {
    CatalogPanel->setText(CatalogChoice::StatusText(DB1.Server));
}

bool TPmain::OpenCatalog(const QString& server) {
    const QString previous = DB1.Server;
    const auto reopen = [this, &previous] {
        DB1.Close();
        DB1.Server = previous;
        try {
            DB1.Open();
        } catch (const std::exception&) {
            // The lists tell the catalog is closed; the next command tries again.
        }
    };
    DB1.Close();
    DB1.Server = server.trimmed();
    try {
        DB1.Open();
    } catch (const std::exception& error) {
        const QString message = DB1.OnServer() ? ServerFailure(QString::fromUtf8(error.what()))
                                               : QString::fromUtf8(error.what());
        reopen();
        ShowMsg(message);
        return false;
    }
    if (!CheckDatabaseStructure()) {
        reopen();
        return false;
    }
    CommandLineCatalog.clear();
    CatalogChoice::Store(DB1.Server);
    ShowCatalog();
    return true;
}

bool TPmain::CheckDatabaseStructure() {
    int code = -1;
    QString problem;
    {
        TF_check_DB check(this);
        check.BuildStructure();
        code = check.Run();
        problem = check.Problem();
    }
    if (code == TF_check_DB::Checked)
        return true;
    if (code == TF_check_DB::EngineMissing) {
        OfferEngineInstall();
        return false;
    }
    QString message = QStringLiteral("UNKNOWN DATABASE CHECKING ERROR");
    if (code == TF_check_DB::DatabaseUnreadable)
        message += QLatin1Char('\n') + UnreadableDatabaseAdvice(problem);
    ShowMsg(message);
    return false;
}

QString TPmain::UnreadableDatabaseAdvice(const QString& problem) const {
    const auto shown = [](const QString& path) {
        return QDir::toNativeSeparators(QDir::cleanPath(QDir().absoluteFilePath(path)));
    };
    QString reason = problem.trimmed();
    while (reason.endsWith(QLatin1Char('.')))
        reason.chop(1);
    // Seven lines at most fit the message dialog: the folder is named once,
    // in the command that restores it.
    return QStringLiteral("%1: %2.\nThe file is kept untouched. Restore a backup with\n"
                          "velmora-tool restore ARCHIVE %3\n"
                          "or move the file away to begin an empty catalog.")
        .arg(QLatin1String(TDatabase::FileNameInFolder),
             reason.isEmpty() ? QStringLiteral("can not be read") : reason, shown(DataPath));
}

void TPmain::OfferEngineInstall() {
    if (!Ask(QStringLiteral("DBE library is not found.\nInstall it first please, then run the "
                            "application again\nTry to install BDE now?")))
        return;
    const QString installer = QStringLiteral("../BDE_INSTALL/setup.exe");
    if (QFileInfo::exists(installer)) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(installer).absoluteFilePath()));
        close();
        return;
    }
    ShowMsg(QStringLiteral("Can not find BDE install. Try to find and run it by hand."));
}

bool TPmain::AskTablePassword(QString& password) {
    QInputDialog box(this);
    box.setWindowTitle(QStringLiteral("Enter password"));
    box.setLabelText(QStringLiteral("Password:"));
    box.setTextEchoMode(QLineEdit::Password);
    box.setTextValue(QString());
    if (DialogRunner::Exec(box) != QDialog::Accepted || box.textValue().isEmpty())
        return false;
    password = box.textValue();
    return true;
}

void TPmain::DB1BeforeConnect(TDatabase& database) {
    if (!database.AliasName.isEmpty())
        return;
    database.Params = {QStringLiteral("PATH=") + DataPath,
                       QStringLiteral("DEFAULT DRIVER=PARADOX")};
    database.DriverName = QStringLiteral("STANDARD");
}
