#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;
class QToolButton;
class TO_sheme;

// The scheme's size, set in steps of 30 pixels with a small preview of the
// size before and now, and the scheme check. Created for one use.
class TD_sheme_properties : public QDialog {
    Q_OBJECT

public:
    // No side of a scheme is set below this.
    static constexpr int MinimumSize = 90;
    static constexpr int SizeStep = 30;
    // The size at opening fits a square of this side in the preview; the
    // current size may grow beyond it.
    static constexpr int PreviewSide = 64;

    explicit TD_sheme_properties(QWidget* parent = nullptr);

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet_size = nullptr;
    QWidget* TabSheet_check = nullptr;
    QLabel* Label_h = nullptr;
    QLabel* Label_w = nullptr;
    QLabel* Label_h_value = nullptr;
    QLabel* Label_w_value = nullptr;
    QToolButton* SB_h_inc = nullptr;
    QToolButton* SB_h_dec = nullptr;
    QToolButton* SB_w_inc = nullptr;
    QToolButton* SB_w_dec = nullptr;
    QFrame* Shape_start = nullptr;
    QFrame* Shape_curr = nullptr;
    QPlainTextEdit* Memo_check = nullptr;
    QPushButton* btn_check = nullptr;
    QLabel* Label_sh_name = nullptr;
    QLineEdit* Edit_sh_name = nullptr;
    QPushButton* btn_ok = nullptr;
    QPushButton* btn_cancel = nullptr;

    TO_sheme* Frame = nullptr;
    int SchemeWidth = 0;
    int SchemeHeight = 0;
    // Preview pixels per scheme pixel, fixed when the dialog opens.
    double PreviewScale = 0;

    // Clears the check text; for a scheme editor frame, shows its size and
    // stores the edited size and name when the dialog is confirmed.
    void EditSchemeProperties(QWidget* frame);

    void SB_h_incClick();
    void SB_h_decClick();
    void SB_w_incClick();
    void SB_w_decClick();
    void btn_checkClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void LoadProperties();
    void StoreProperties();
    void ShowSize();
    QSize PreviewSize() const;

    // What the dialog opened with, to tell what the user changed.
    QString loadedName_;
    int loadedWidth_ = 0;
    int loadedHeight_ = 0;
};
