#pragma once

#include "TFieldLink.h"
#include "TImageView.h"

#include <QByteArray>
#include <QString>

#include "TDataSource.h"

// A picture control showing a thumbnail column (BMP bytes) of the current
// record of a data source's dataset, centred in its area. It only
// shows: the owner writes new thumbnails into the record. Bytes that are
// not a bitmap, or none, show nothing.
class TDBImage : public TImageView {
    Q_OBJECT

public:
    TDBImage(TDataSource* source, const QString& fieldName, QWidget* parent = nullptr);

    // Shows the column's value again.
    void Refresh();

private:
    TFieldLink link_{this, [this] { Refresh(); }};
    // The bytes shown, so an unchanged thumbnail is not decoded again.
    QByteArray shown_;
};
