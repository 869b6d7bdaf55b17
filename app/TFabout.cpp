#include "TFabout.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

TFabout::TFabout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setWindowTitle(QStringLiteral("About"));
    Label_product = new QLabel(QStringLiteral("Velmora"), this);
    QFont big = Label_product->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 2);
    Label_product->setFont(big);
    Label_product->setAlignment(Qt::AlignCenter);
    const QString version = QApplication::applicationVersion();
    Label_version =
        new QLabel(QStringLiteral("Version %1")
                       .arg(version.isEmpty() ? QStringLiteral(VELMORA_VERSION) : version),
                   this);
    Label_version->setAlignment(Qt::AlignCenter);
    auto* note = new QLabel(QStringLiteral("A catalog for collectors of miniature figures."), this);
    note->setAlignment(Qt::AlignCenter);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* column = new QVBoxLayout(this);
    column->addWidget(Label_product);
    column->addWidget(Label_version);
    column->addWidget(note);
    column->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(320, 180)));
}
