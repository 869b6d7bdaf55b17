#include "TNoFiguresHint.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TNoFiguresHint::TNoFiguresHint(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("NoFiguresHint"));
    Label_hint = new QLabel(
        QStringLiteral("No figures yet. Press Add (Ins) to record one, or bring a collection in."),
        this);
    Label_hint->setAlignment(Qt::AlignCenter);
    Label_hint->setWordWrap(true);
    btn_add = new QPushButton(QStringLiteral("Add"), this);
    btn_import = new QPushButton(QStringLiteral("Import…"), this);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btn_add);
    buttons->addWidget(btn_import);
    buttons->addStretch();
    auto* column = new QVBoxLayout(this);
    column->addStretch();
    column->addWidget(Label_hint);
    column->addLayout(buttons);
    column->addStretch();
}
