#include "ParadoxImport.h"

#include "ByteReader.h"
#include "ImportThumbnail.h"
#include "ParadoxTable.h"
#include "RowImporter.h"

#include <QDir>
#include <QFile>
#include <QHash>

#include <memory>

namespace {

// In the order that puts every row after the rows it refers to.
const char* const CatalogTables[] = {"producers", "genres", "scales", "figures", "add_pictures"};

// A file's bytes, mapped while the object lives (read whole where the file
// cannot be mapped, as an empty one).
class FileBytes {
public:
    bool Open(const QString& path, QString* error) {
        file_.setFileName(path);
        if (!file_.open(QIODevice::ReadOnly)) {
            *error = QStringLiteral("cannot read %1: %2").arg(path, file_.errorString());
            return false;
        }
        if (file_.size() > 0) {
            if (uchar* data = file_.map(0, file_.size())) {
                view_ = QByteArrayView(reinterpret_cast<const char*>(data), file_.size());
                return true;
            }
        }
        copy_ = file_.readAll();
        view_ = copy_;
        return true;
    }
    QByteArrayView View() const { return view_; }

private:
    QFile file_;
    QByteArray copy_;
    QByteArrayView view_;
};

// The file of folder named base + suffix, in any letter case; empty when
// there is none.
QString FindFile(const QDir& folder, const QString& base, const QString& suffix) {
    const QString wanted = base + suffix;
    for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (name.compare(wanted, Qt::CaseInsensitive) == 0)
            return folder.filePath(name);
    return {};
}

bool IsPictureColumn(const QString& name) {
    return name.compare(QLatin1String("picture"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("picture_th"), Qt::CaseInsensitive) == 0;
}

} // namespace

QStringList ParadoxImport::TablesIn(const QString& folder) {
    QStringList tables;
    const QDir dir(folder);
    for (const char* table : CatalogTables)
        if (!FindFile(dir, QLatin1String(table), QStringLiteral(".db")).isEmpty())
            tables << QLatin1String(table);
    return tables;
}

bool ParadoxImport::HoldsTables(const QStringList& names) {
    for (const QString& name : names)
        for (const char* table : CatalogTables)
            if (name.compare(QLatin1String(table) + QStringLiteral(".db"), Qt::CaseInsensitive) ==
                0)
                return true;
    return false;
}

QByteArray ParadoxImport::PictureBytes(const QByteArray& blob) {
    if (blob.size() > 8 && blob.startsWith(QByteArrayView("\x01\x00\x00\x01", 4))) {
        const quint32 size = ByteReader(blob).UInt32(4);
        if (size > 0 && size <= static_cast<quint32>(blob.size() - 8))
            return blob.mid(8, size);
    }
    return blob;
}

bool ParadoxImport::IsPicture(const QByteArray& bytes) {
    return bytes.startsWith("\xFF\xD8\xFF") || (bytes.size() > 14 && bytes.startsWith("BM"));
}

ParadoxImport::ParadoxImport(const QString& databaseName) : databaseName_(databaseName) {}

bool ParadoxImport::Run(const QString& folder) {
    error_.clear();
    lines_.clear();
    added_ = 0;
    const QDir dir(folder);
    const QStringList tables = TablesIn(folder);
    if (tables.isEmpty()) {
        error_ = QStringLiteral("%1 holds no table of an older version (figures.db, "
                                "producers.db, genres.db, add_pictures.db, scales.db)")
                     .arg(QDir::toNativeSeparators(folder));
        return false;
    }
    RowImporter importer(databaseName_);
    if (!importer.Begin()) {
        error_ = importer.Error();
        return false;
    }
    for (const QString& tableName : tables) {
        const QString tablePath = FindFile(dir, tableName, QStringLiteral(".db"));
        const QString blobPath = FindFile(dir, tableName, QStringLiteral(".mb"));
        FileBytes tableBytes;
        FileBytes blobBytes;
        if (!tableBytes.Open(tablePath, &error_) ||
            (!blobPath.isEmpty() && !blobBytes.Open(blobPath, &error_))) {
            importer.Rollback();
            return false;
        }
        ParadoxTable table;
        QString problem;
        const QString fileName = QFileInfo(tablePath).fileName();
        if (!table.Open(tableBytes.View(), blobBytes.View(), &problem)) {
            error_ = fileName + QStringLiteral(": ") + problem;
            importer.Rollback();
            return false;
        }
        std::vector<QString> names;
        std::vector<bool> pictures;
        for (const ParadoxTable::Field& field : table.Fields()) {
            names.push_back(field.name);
            pictures.push_back(IsPictureColumn(field.name) && field.type != ParadoxTable::Memo &&
                               field.type != ParadoxTable::Alpha);
        }
        const bool hasPictures =
            tableName == QLatin1String("figures") || tableName == QLatin1String("add_pictures");
        qint64 record = 0;
        QVariantHash row;
        const bool read = table.ReadRecords(
            [&](const std::vector<QVariant>& values) {
                ++record;
                row.clear();
                const QString label = QStringLiteral("record %1").arg(record);
                for (size_t i = 0; i < values.size(); ++i) {
                    QVariant value = values[i];
                    if (pictures[i] && !value.isNull()) {
                        const QByteArray bytes = PictureBytes(value.toByteArray());
                        if (!IsPicture(bytes))
                            importer.Note(tableName,
                                          QStringLiteral("%1: %2 holds neither a JPEG nor a BMP "
                                                         "picture; kept as it is")
                                              .arg(label, names[i]));
                        value = bytes;
                    } else if (value.typeId() == QMetaType::QString &&
                               names[i].compare(QLatin1String("manual_sheme"),
                                                Qt::CaseInsensitive) == 0) {
                        // The scheme text is kept as the bytes of its UTF-8 form.
                        value = value.toString().toUtf8();
                    }
                    row.insert(names[i], value);
                }
                // A picture that came without its thumbnail gets one cut
                // from its middle.
                if (hasPictures)
                    FillMissingThumbnail(row);
                importer.Add(tableName, row, label);
                return !importer.Failed();
            },
            &problem);
        if (!read) {
            error_ = fileName + QStringLiteral(": ") + problem;
            importer.Rollback();
            return false;
        }
        if (importer.Failed())
            break;
        if (record == 0)
            importer.Note(tableName, QStringLiteral("the table holds no rows"));
    }
    if (!importer.Commit()) {
        error_ = importer.Error();
        return false;
    }
    added_ = importer.Added();
    lines_ = importer.SummaryLines();
    return true;
}
