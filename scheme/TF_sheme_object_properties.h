#pragma once

#include <QDialog>

class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class TZunPigger;

// Edits one object of a scheme: a node's name and description, or the side
// through which a line enters its target, shown on a small preview. Only
// the page of the object's kind shows. Created for one use.
class TF_sheme_object_properties : public QDialog {
    Q_OBJECT

public:
    explicit TF_sheme_object_properties(QWidget* parent = nullptr);

    QStackedWidget* PageControl1 = nullptr;
    QWidget* TabSheet_node = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* Label2 = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QWidget* TabSheet_line = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QFrame* Panel_preview = nullptr;
    // The arrow preview, 120 x 92.
    QWidget* PB1 = nullptr;
    QRadioButton* RG_top = nullptr;
    QRadioButton* RG_left = nullptr;
    QRadioButton* RG_bottom = nullptr;
    QWidget* Panel_bottom = nullptr;
    QPushButton* btn_ok = nullptr;
    QPushButton* btn_cancel = nullptr;

    bool Confirmed = false;

    // The preview: the target box and the arrow into it.
    int BoxTop = 30;
    int BoxLeft = 60;
    int BoxBottom = 60;
    int BoxRight = 100;
    int ArrowXB = 15;
    int ArrowYB = 45;
    int ArrowXE = 60;
    int ArrowYE = 45;
    int ArrowIM = 0;

    // Shows the window for a "NODE" or "LINE" element and stores the edits
    // when they are confirmed; any other element is left alone.
    void EditObject(TZunPigger* element);

    // The one handler of the three arrow sides.
    void RG_Click();
    void btn_okClick();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void PaintPreview();
    void EditLine(TZunPigger* line);
    void EditNode(TZunPigger* node);
};
