#pragma once

#include "TFsure.h"

#include <QStringList>

class QPushButton;

// The confirmation dialog with a third way out, for a window about to close
// with changes: Yes (Enter) saves, No throws the changes away, and Cancel,
// Escape and the close box go back to the window. Laid out as TFsure.
class TFsureCancel : public TFsure {
    Q_OBJECT

public:
    enum class Reply { Yes, No, Cancel };

    explicit TFsureCancel(QWidget* parent = nullptr);
    ~TFsureCancel() override;

    // The instance made first; made here when there is none.
    static TFsureCancel& Instance();

    // Shows the question modally and returns the button pressed; Escape and
    // the close box are Cancel. Captions, when given, name the three buttons
    // for this question only (a choice other than yes or no).
    Reply AskWithCancel(const QString& question, const QStringList& captions = {});

    QPushButton* btn_cancel;

private:
    bool noPressed_ = false;
};

// Asks the question in the program's three-button confirmation dialog.
TFsureCancel::Reply AskYesNoCancel(const QString& question, const QStringList& captions = {});
