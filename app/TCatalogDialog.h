#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

// "Catalog…": the catalog the program opens, this computer's data folder or
// a catalog on a database server given by its connection string.
class TCatalogDialog : public QDialog {
    Q_OBJECT

public:
    // server: the catalog open now; empty for the data folder's.
    explicit TCatalogDialog(const QString& server, QWidget* parent = nullptr);

    // The catalog chosen: empty for the data folder's.
    QString Server() const;

    QRadioButton* RB_folder = nullptr;
    QRadioButton* RB_server = nullptr;
    QLineEdit* E_server = nullptr;

private:
    // Ok needs a connection string when the server is chosen.
    void UpdateOk();

    QPushButton* okButton_ = nullptr;
};
