#pragma once

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;

// "Publish catalog": the folder, title and introduction of the published
// site (remembered in the user's settings), a progress bar with Stop while
// SitePublisher writes the catalog of "ADB", and the site's index opened
// when it is done.
class TFpublish : public QDialog {
    Q_OBJECT

public:
    explicit TFpublish(QWidget* parent = nullptr);

    // Publishes into the folder given; stays open when stopped or refused.
    void btn_publishClick();
    void btn_folderClick();

    QLineEdit* Edit_folder = nullptr;
    QPushButton* btn_folder = nullptr;
    QLineEdit* Edit_title = nullptr;
    QPlainTextEdit* Memo_introduction = nullptr;
    QProgressBar* PB_publish = nullptr;
    QPushButton* btn_publish = nullptr;
    QPushButton* btn_stop = nullptr;
    QPushButton* btn_close = nullptr;

private:
    void Remember() const;

    bool stopping_ = false;
};
