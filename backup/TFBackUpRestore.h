#pragma once

#include <QDate>
#include <QDialog>
#include <QString>

#include <functional>

class EngineConnection;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QToolButton;

// The one dialog for backing the data folder up into an archive (".tba")
// and for restoring the data folder from one. The caller closes the
// database before opening it. The operation runs inside the "OK" click,
// its result is told in a message, and the dialog then closes; the current
// folder is the working folder again whenever it closes.
class TFBackUpRestore : public QDialog {
    Q_OBJECT

public:
    explicit TFBackUpRestore(QWidget* parent = nullptr);

    // The default place of archives, relative to the working folder.
    QString ArchiveFolder = QStringLiteral("../DB_archives/");
    // The current folder when the dialog was opened; operations run
    // relative to it.
    QString WorkingFolder;
    // The folder backed up, or restored into.
    QString DataFolder;
    // The named connection of the catalog: when it is on a database server,
    // the server's catalog is backed up and restored into instead of the
    // data folder's files.
    QString DatabaseName = QStringLiteral("ADB");
    // Answered to the archive procedures' progress calls; "Stop" sets it.
    bool StopRequested = false;

    // Shows the backup page modally, proposing an archive named after the
    // data folder and today's date in the archive folder.
    void OpenBackup(const QString& dataFolder);
    // Shows the restore page modally; the warning shows unless hidden.
    void OpenRestore(const QString& dataFolder, bool hideWarning);

    // The proposed archive for a backup of dataFolder made on the given
    // day: ArchiveFolder, the folder's last name up to its first full stop,
    // "-", the date in the default locale's short format and ".tba". Full
    // stops of the date, and characters a file name cannot hold, become "-".
    QString DefaultArchiveName(const QString& dataFolder,
                               const QDate& day = QDate::currentDate()) const;
    // Whether the two folders, each taken relative to WorkingFolder, are
    // one. A folder that does not exist counts as WorkingFolder.
    bool SameFolder(const QString& folderA, const QString& folderB) const;

    void btn_okClick();
    void SB_1Click();
    void SB_2Click();
    void btn_stopClick();
    void BackUpProgress(int percent, bool& stop);
    // "Database restore error" and, on the next line, why (UnpackArchive's
    // fault).
    static QString RestoreErrorMessage(const QString& fault);
    void RestoreProgress(int percent, bool& stop);

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* FileEdit1 = nullptr;
    QToolButton* SB_1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* FileEdit2 = nullptr;
    QToolButton* SB_2 = nullptr;
    QProgressBar* ProgressBar2 = nullptr;
    QLabel* Label_attention = nullptr;
    QPushButton* btn_ok = nullptr;
    QPushButton* btn_cancel = nullptr;
    QPushButton* btn_stop = nullptr;

    // The filter of the file dialogs.
    static constexpr const char* ArchiveFilter = "archive (*.tba)";

public slots:
    // Refused while an operation runs; otherwise closes and returns to the
    // working folder.
    void done(int result) override;

private:
    void EnsureArchiveFolder();
    void ShowModal();
    void RunBackup();
    void RunRestore();
    // The engine connection of a catalog on a database server; nullptr
    // for a data folder.
    EngineConnection* ServerConnection() const;
    // Runs the archive procedure with the controls locked; its result code.
    int RunOperation(const std::function<int()>& operation);
    void SetRunning(bool running);
    void ReturnToWorkingFolder();

    bool running_ = false;
};
