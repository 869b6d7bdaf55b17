#pragma once

#include "TDatabase.h"

#include <QMainWindow>

class QLabel;

// Base of the main window: the database connection "ADB" and the start-up
// sequence that runs when the window is first activated: connect, create the
// data folder, check and complete the database structure.
class TPmain : public QMainWindow {
    Q_OBJECT

public:
    explicit TPmain(QWidget* parent = nullptr);

    QStatusBar* StatusBar1 = nullptr;
    // The status bar's two 50-pixel panels.
    QLabel* StatusPanel(int index) const;
    TDatabase DB1;
    // The data folder, relative to the working folder: archives and
    // settings live there whichever catalog is open.
    QString DataPath;
    // The catalog the command line chose for this run (--catalog): it
    // stands before the one chosen in the program.
    QString CommandLineCatalog;
    // The status bar's line that names the catalog open.
    QLabel* CatalogPanel = nullptr;

    void FormCreate();
    void FormActivate();
    virtual bool InitApplication();
    bool CheckDatabaseStructure();
    // Closes the catalog and opens another (server empty for the data
    // folder's) with the structure check of the start, and keeps the choice.
    // When it cannot be opened the message tells why and the previous
    // catalog stays open: false then.
    bool OpenCatalog(const QString& server);
    void ShowCatalog();
    // What the user can do when the database file cannot be read: the
    // lines that follow "UNKNOWN DATABASE CHECKING ERROR".
    QString UnreadableDatabaseAdvice(const QString& problem) const;
    void OfferEngineInstall();
    // Asks for the server's password: "Enter password", "Password:". False
    // when the user gives none.
    bool AskTablePassword(QString& password);
    void DB1BeforeConnect(TDatabase& database);

    bool StartupPending() const { return firstActivation_; }

protected:
    bool event(QEvent* event) override;

private:
    // What ends a start or a change of catalog on a server that cannot be
    // opened: the catalog (without its password) and the reason.
    QString ServerFailure(const QString& reason) const;

    QLabel* panels_[2] = {nullptr, nullptr};
    bool firstActivation_ = false;
};
