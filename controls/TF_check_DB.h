#pragma once

#include "TQuery.h"
#include "TTable.h"
#include "TZunPigger.h"

#include <QDialog>
#include <QTimer>

class QProgressBar;

// The small borderless window shown at every start while the database
// structure is compared with the built-in description and completed.
class TF_check_DB : public QDialog {
    Q_OBJECT

public:
    explicit TF_check_DB(QWidget* parent = nullptr);

    // Fills the description tree.
    void BuildStructure();
    // Result codes of Run.
    static constexpr int Checked = 0;
    static constexpr int EngineMissing = 1;
    // The database file cannot be opened or read as a database (another
    // kind of file under its name, or a damaged one); nothing was written
    // to it. Problem() says what the engine answered.
    static constexpr int DatabaseUnreadable = 2;

    // Shows the window modally until the check has run: Checked,
    // EngineMissing or DatabaseUnreadable; -1: closed before the check
    // could run.
    int Run();
    // The engine's answer when the result is DatabaseUnreadable.
    QString Problem() const { return problem_; }
    // Empty when the database of the connection opens and its list of
    // tables can be read; otherwise the engine's message. Reads only.
    QString DatabaseProblem() const;
    // Whether the database engine answers its version and is recent
    // enough.
    static bool EngineVersionOk();
    void CheckStructure();
    void CreateTable(const TZunPigger& table);
    void AddField(const QString& tableName, const TZunPigger& field);

    const TZunPigger& Structure() const { return structure_; }
    QProgressBar* PB1 = nullptr;
    QTimer Timer1;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void Timer1Timer();

    TZunPigger structure_;
    TTable Table1;
    TQuery Q1;
    int resultCode_ = -1;
    QString problem_;
};
