#pragma once

#include <QDate>
#include <QDateEdit>

// A date box that may hold no date: it then shows nothing, its calendar
// opens on the current month and a step up or down starts from today.
// Delete or Backspace over the whole text empties it.
class TDateBox : public QDateEdit {
    Q_OBJECT

public:
    explicit TDateBox(QWidget* parent = nullptr);

    // Null while the box is empty.
    QDate Date() const;
    // A null date empties the box.
    void SetDate(const QDate& date);
    bool IsEmpty() const;

    void stepBy(int steps) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The box's lowest date stands for no date.
    static QDate EmptyDate();
};
