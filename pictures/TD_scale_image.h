#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class QSlider;
class TImageView;

// The scale view: shows a picture view at 10 % to 160 % of its real size
// and, when the caller allows it, makes the shown size the picture's real
// size by stretching the picture to it. One instance serves the program.
class TD_scale_image : public QDialog {
    Q_OBJECT

public:
    explicit TD_scale_image(QWidget* parent = nullptr);

    QSlider* TrB1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label_percent = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* btn_ok = nullptr;
    QPushButton* btn_cancel = nullptr;
    QPushButton* btn_reset = nullptr;
    QPushButton* btn_apply = nullptr;

    // The view's size at real size, taken at each reset.
    int BaseWidth = 0;
    int BaseHeight = 0;

    // Shows the dialog modally for the view; nothing without a view.
    void ShowScaleView(TImageView* target, bool allowResampling);
    // Back to 100 %: the view auto-sized and unstretched, its size the base.
    void ResetScaleView();
    // The shown percentage; 1 when its text is not a number.
    int CurrentScale() const;
    // Whether the last run resampled the view's picture.
    bool Resampled() const { return resampled_; }
    TImageView* Target() const { return target_; }

    void TrB1Change();
    void btn_applyClick();
    void btn_cancelClick();
    void btn_resetClick();

protected:
    void reject() override;

private:
    TImageView* target_ = nullptr;
    bool resampled_ = false;
};
