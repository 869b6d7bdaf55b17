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
    // The data folder, relative to the working folder.
    QString DataPath;

    void FormCreate();
    void FormActivate();
    virtual bool InitApplication();
    bool CheckDatabaseStructure();
    // What the user can do when the database file cannot be read: the
    // lines that follow "UNKNOWN DATABASE CHECKING ERROR".
    QString UnreadableDatabaseAdvice(const QString& problem) const;
    void OfferEngineInstall();
    bool AskTablePassword(QString& password);
    void DB1BeforeConnect(TDatabase& database);

    bool StartupPending() const { return firstActivation_; }

protected:
    bool event(QEvent* event) override;

private:
    QLabel* panels_[2] = {nullptr, nullptr};
    bool firstActivation_ = false;
};
