#include "TCatalogDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TCatalogDialog::TCatalogDialog(const QString& server, QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Catalog"));
    RB_folder = new QRadioButton(QStringLiteral("This computer's data folder"), this);
    RB_server = new QRadioButton(QStringLiteral("A catalog on a database server:"), this);
    E_server = new QLineEdit(server, this);
    E_server->setPlaceholderText(QStringLiteral("postgresql://user@host/dbname"));
    E_server->setMinimumWidth(360);
    auto* hint = new QLabel(QStringLiteral("A password the server asks for is asked when "
                                           "connecting and never stored."),
                            this);
    hint->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* column = new QVBoxLayout(this);
    column->addWidget(RB_folder);
    column->addWidget(RB_server);
    column->addWidget(E_server);
    column->addWidget(hint);
    column->addWidget(buttons);

    (server.isEmpty() ? RB_folder : RB_server)->setChecked(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(RB_server, &QRadioButton::toggled, this, [this] { UpdateOk(); });
    connect(E_server, &QLineEdit::textChanged, this, [this](const QString&) {
        if (!E_server->text().trimmed().isEmpty())
            RB_server->setChecked(true);
        UpdateOk();
    });
    okButton_ = buttons->button(QDialogButtonBox::Ok);
    UpdateOk();
}

QString TCatalogDialog::Server() const {
    return RB_server->isChecked() ? E_server->text().trimmed() : QString();
}

void TCatalogDialog::UpdateOk() {
    okButton_->setEnabled(RB_folder->isChecked() || !E_server->text().trimmed().isEmpty());
}
