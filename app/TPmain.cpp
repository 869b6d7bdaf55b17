#include "TPmain.h"

#include "CommandGuard.h"
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
    try {
        DB1.Close();
        DB1.PasswordCallback = [this](QString& password) { return AskTablePassword(password); };
        DB1.Open();
    } catch (const std::exception&) {
        // The structure check connects again and reports what matters.
    }
    if (!QDir().mkpath(DataPath) || !QFileInfo(DataPath).isDir())
        return false;
    return CheckDatabaseStructure();
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
