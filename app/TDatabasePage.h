#pragma once

#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QPushButton;

// The page "Database management": back up, restore and pack, with the
// history of what packing did.
class TDatabasePage : public QWidget {
    Q_OBJECT

public:
    explicit TDatabasePage(QWidget* parent = nullptr);

    void AddHistoryLine(const QString& text);
    void Label_clear_historyClick();

    QPushButton* btn_backup = nullptr;
    QPushButton* btn_restore = nullptr;
    QPushButton* btn_pack = nullptr;
    // Brings a CSV file into the figures.
    QPushButton* btn_import = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QLabel* Label_clear_history = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
