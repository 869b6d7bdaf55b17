#pragma once

#include "TFieldLink.h"

#include <QComboBox>
#include <QString>
#include <QStringList>

#include "TDataSource.h"

// An editable drop-down box showing one text column of the current record
// of a data source's dataset. Choosing an item or typing puts the record
// into edit state and stores the text at once; free text is allowed, up to
// the width of a column declared "char(n)". Read-only while there is no
// open dataset with that column.
class TDBComboBox : public QComboBox {
    Q_OBJECT

public:
    TDBComboBox(TDataSource* source, const QString& fieldName, const QStringList& items,
                QWidget* parent = nullptr);

    // Shows the column's value again.
    void Refresh();

private:
    void Store(const QString& text);

    TFieldLink link_{this, [this] { Refresh(); }};
};
