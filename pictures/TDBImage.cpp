#include "TDBImage.h"

#include "PictureFields.h"
#include "TDataSource.h"
#include "TField.h"
#include "TQuery.h"

#include <exception>

TDBImage::TDBImage(TDataSource* source, const QString& fieldName, QWidget* parent)
    : TImageView(parent) {
    SetCenter(true);
    link_.SetDataField(fieldName);
    link_.SetDataSource(source);
}

void TDBImage::Refresh() {
    QByteArray bytes;
    if (TQuery* dataSet = link_.OpenDataSet()) {
        try {
            bytes = dataSet->FieldByName(link_.DataField()).AsBytes();
        } catch (const std::exception&) {
            bytes.clear();
        }
    }
    if (bytes == shown_)
        return;
    shown_ = bytes;
    SetPicture(ThumbnailFromBytes(bytes));
}
