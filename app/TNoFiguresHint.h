#pragma once

#include <QWidget>

class QLabel;
class QPushButton;

// What the figures page shows in place of the list while the catalog holds
// no figure: the way to record one or to bring a collection in.
class TNoFiguresHint : public QWidget {
    Q_OBJECT

public:
    explicit TNoFiguresHint(QWidget* parent = nullptr);

    QLabel* Label_hint = nullptr;
    QPushButton* btn_add = nullptr;
    QPushButton* btn_import = nullptr;
};
