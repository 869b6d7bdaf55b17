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
    // Shows the window modally until the check has run. 0: checked;
    // 1: the database engine is missing or too old; -1: closed before the
    // check could run.
    int Run();
    // Whether the database engine can be loaded and is recent enough, and
    // the toolkit's driver runs the very SQLite the program is linked with.
    static bool EngineVersionOk();
    // Empty, or the message naming both SQLite versions when the driver's
    // is not the program's.
    static QString EngineMismatch();
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
};
