#include "TSearchColumns.h"

#include "EDatabaseError.h"
#include "TQuery.h"

#include <algorithm>
#include <exception>

namespace {

QString TextOf(const QVariant& value) {
    if (value.isNull())
        return {};
    if (value.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(value.toByteArray());
    return value.toString();
}

bool IsAscii(const QByteArray& bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

TSearchColumns::TSearchColumns(TQuery& query, const QStringList& columns, const QString& text)
    : query_(query), text_(text), textUtf8_(text.toUtf8()), locale_(QLocale::system()) {
    const QLocale::Language language = locale_.language();
    localeRules_ = language == QLocale::Turkish || language == QLocale::Azerbaijani ||
                   language == QLocale::Lithuanian;
    asciiRules_ = !localeRules_ && IsAscii(textUtf8_);
    for (const QString& column : columns) {
        const int field = query_.FieldIndex(column);
        if (field < 0)
            throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(column));
        fields_.push_back(field);
        blob_.push_back(query_.IsBlobField(field));
        if (blob_.back())
            blobFields_.push_back(field);
    }
    if (!query_.KeyField.isEmpty())
        keyField_ = query_.FieldIndex(query_.KeyField);
}

bool TSearchColumns::CurrentMatches() {
    // A record matches when any of the columns holds the text.
    const bool blobsRead = BlobsRead();
    for (size_t slot = 0; slot < fields_.size(); ++slot) {
        if (blob_[slot] && blobsRead)
            continue;
        const QVariant value = query_.Value(fields_[slot]);
        if (value.typeId() == QMetaType::QByteArray ? Contains(value.toByteArray())
                                                    : Contains(TextOf(value)))
            return true;
    }
    return blobsRead && blobMatches_.contains(TextOf(query_.Value(keyField_)));
}

bool TSearchColumns::Contains(const QString& value) const {
    const QString upper = localeRules_ ? locale_.toUpper(value) : value.toUpper();
    return upper.contains(text_);
}

bool TSearchColumns::Contains(const QByteArray& utf8) const {
    if (asciiRules_ && IsAscii(utf8))
        return utf8.toUpper().contains(textUtf8_);
    return Contains(QString::fromUtf8(utf8));
}

bool TSearchColumns::BlobsRead() {
    // The record being edited holds values the table has not yet.
    if (blobFields_.empty() || keyField_ < 0 || query_.State() != TDataSetState::Browse)
        return false;
    if (!blobsTried_ && ++singleReads_ > SingleReads) {
        blobsTried_ = true;
        blobsRead_ = ReadBlobs();
    }
    return blobsRead_;
}

bool TSearchColumns::ReadBlobs() {
    if (query_.UpdatesPending())
        return false;
    try {
        query_.ReadBlobColumns(blobFields_,
                               [this](const QVariant& key, const std::vector<QVariant>& blobs) {
                                   for (const QVariant& blob : blobs) {
                                       if (Contains(blob.toByteArray())) {
                                           blobMatches_.insert(TextOf(key));
                                           break;
                                       }
                                   }
                               });
        return true;
    } catch (const std::exception&) {
        // The records are read one by one, as before.
        blobMatches_.clear();
        return false;
    }
}
