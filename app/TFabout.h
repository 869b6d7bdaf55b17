#pragma once

#include <QDialog>

class QLabel;

// The About box: the product's name and version.
class TFabout : public QDialog {
    Q_OBJECT

public:
    explicit TFabout(QWidget* parent = nullptr);

    QLabel* Label_product = nullptr;
    QLabel* Label_version = nullptr;
};
