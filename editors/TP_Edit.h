#pragma once

#include "TDataSource.h"

#include <QDialog>

class QFrame;
class QPushButton;
class TQuery;

// Base of the record editors: a fixed dialog whose data-aware controls are
// bound to DS1, shown modally on the current record of a list's query by
// EditRecord. "Ok" stores the editor's content (BeforeSave) and posts the
// record, and closes the dialog only when the post succeeded: otherwise
// the error is shown and the dialog stays open with the user's values.
// "Cancel" drops the changes. Escape and the close box drop them too when
// there are none; otherwise they ask whether to save them first. Editors
// set their own caption and size and load and store content that is not a
// bound column in PrepareEdit and BeforeSave.
class TP_Edit : public QDialog {
    Q_OBJECT

public:
    static constexpr int ClientWidth = 379;
    static constexpr int ClientHeight = 303;
    static constexpr int ButtonStripHeight = 41;

    explicit TP_Edit(QWidget* parent = nullptr);
    ~TP_Edit() override;

    // Bound to the edited dataset only while EditRecord runs.
    TDataSource DS1;
    // Whether the dialog was closed with "Ok", the record saved.
    bool Saved = false;

    QFrame* Panel_buttons;
    QPushButton* btn_ok;
    QPushButton* btn_cancel;

    // After the dataset is bound, before the dialog shows.
    virtual void PrepareEdit();
    // After "Ok", before the record is posted; again on every "Ok" while
    // a post fails.
    virtual void BeforeSave();
    // Edits the current record of dataSet; true when the user saved. An
    // empty dataset is not edited: false, and nothing is shown.
    virtual bool EditRecord(TQuery& dataSet);

    // Whether the user changed anything: the base looks at the record's
    // state, which the data-aware controls set at the first change.
    // Editors with content of their own add theirs.
    virtual bool HasChanges() const;

    // "Ok" (and Enter): BeforeSave and the post; the dialog closes, saved,
    // only when the post succeeded.
    void accept() override;
    // Escape and the close box: with changes, "Save changes?" Yes saves as
    // "Ok" does, No drops them as "Cancel" does, Cancel stays in the editor.
    void reject() override;

protected:
    // A fixed client size; the button strip stays at the bottom with its
    // buttons on the right.
    void SetClientSize(int width, int height);

    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // BeforeSave and the post of the bound record; false, after showing
    // why, when the post failed.
    bool SaveRecord();
    void PlaceButtons();
    void CentreOverMainWindow();
    void FocusFirstControl();
};
