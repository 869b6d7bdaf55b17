#pragma once

#include "TSqlStatement.h"

#include <QByteArray>
#include <QHash>
#include <QString>

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>

class EngineConnection;

// The names of a lookup table (manufacturers, genres) by their case-folded
// form, with their keys, for finding a name ignoring case and adding it
// when it is missing.
class CsvImportLookup {
public:
    // Binds the columns after the key and the name of a new record.
    using BindExtra = std::function<void(TSqlStatement& insert)>;

    // Reads the names of the table. extraColumns are further columns a new
    // record gets (", RX, RY" and so on), filled by bindExtra from
    // parameter 3 on.
    CsvImportLookup(EngineConnection* db, const char* table, const char* keyColumn,
                    const char* nameColumn, const QString& extraColumns, BindExtra bindExtra);

    // The key (as UTF-8) of the name given as UTF-8, the record made first
    // when there is none; empty for an empty name. The key stays where it
    // is as long as the lookup.
    const QByteArray& Key(const QByteArray& utf8Name);
    // How many records Key made.
    int Created() const { return created_; }

private:
    EngineConnection* db_;
    QString insertText_;
    BindExtra bindExtra_;
    QHash<QString, QString> keys_;
    // Rows mostly repeat a few names as they are written: found by their
    // bytes without making a copy of them.
    struct BytesHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view bytes) const {
            return std::hash<std::string_view>()(bytes);
        }
    };
    std::unordered_map<std::string, QByteArray, BytesHash, std::equal_to<>> seen_;
    TSqlStatement insert_;
    int created_ = 0;
};
