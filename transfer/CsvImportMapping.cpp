#include "CsvImportMapping.h"

#include <QHash>

namespace {

struct FieldInfo {
    const char* name;
    int width;
};

constexpr FieldInfo FieldInfos[] = {
    {"skip", 0},
    {"figure_name", 32},
    {"producer_name", 32},
    {"genre_name", 32},
    {"type_ci", 32},
    {"scale", 16},
    {"sculpter_name", 32},
    {"painter_name", 32},
    {"figure_dsc", 0},
    {"figure_files", 0},
    {"picture", 0},
    {"manual_sheme", 0},
    {"prc_kit", 0},
    {"prc_pr", 0},
    {"prc_pe", 0},
    {"figure_id", 32},
    {"collection_status", 0},
    {"collection_quantity", 0},
    {"collection_acquired", 0},
    {"collection_price", 0},
    {"collection_value", 0},
    {"collection_place", 64},
    {"collection_note", 128},
};

} // namespace

const QStringList& CsvImportMapping::Fields() {
    static const QStringList fields = [] {
        QStringList names;
        for (const FieldInfo& info : FieldInfos)
            names << QString::fromLatin1(info.name);
        return names;
    }();
    return fields;
}

int CsvImportMapping::FieldWidth(const QString& field) {
    for (const FieldInfo& info : FieldInfos)
        if (field == QLatin1String(info.name))
            return info.width;
    return 0;
}

CsvImportMapping::CsvImportMapping(const QStringList& header) {
    for (qsizetype i = 0; i < header.size(); ++i)
        fields_ << QString::fromLatin1(Skip);
}

CsvImportMapping CsvImportMapping::Guess(const QStringList& header) {
    CsvImportMapping mapping(header);
    for (int column = 0; column < header.size(); ++column) {
        const QString name = header[column].trimmed();
        for (const QString& field : Fields())
            if (field != QLatin1String(Skip) && name.compare(field, Qt::CaseInsensitive) == 0 &&
                mapping.ColumnOf(field) < 0)
                mapping.SetField(column, field);
    }
    return mapping;
}

CsvImportMapping CsvImportMapping::Parse(const QString& text, const QStringList& header,
                                         QString* error) {
    CsvImportMapping mapping(header);
    const auto fail = [&](const QString& why) {
        if (error != nullptr)
            *error = why;
        return CsvImportMapping();
    };
    for (const QString& item : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const qsizetype equals = item.lastIndexOf(QLatin1Char('='));
        if (equals <= 0)
            return fail(QStringLiteral("\"%1\" is not column=field").arg(item));
        const QString column = item.left(equals).trimmed();
        const QString field = item.mid(equals + 1).trimmed().toLower();
        if (!Fields().contains(field))
            return fail(QStringLiteral("\"%1\" is no field; the fields are %2")
                            .arg(field, Fields().join(QStringLiteral(", "))));
        int index = -1;
        bool number = false;
        if (column.startsWith(QLatin1Char('#'))) {
            const int n = column.mid(1).toInt(&number);
            index = number && n >= 1 && n <= header.size() ? n - 1 : -1;
        }
        for (int i = 0; index < 0 && !number && i < header.size(); ++i)
            if (header[i].trimmed().compare(column, Qt::CaseInsensitive) == 0)
                index = i;
        if (index < 0)
            return fail(QStringLiteral("the file has no column \"%1\"").arg(column));
        mapping.SetField(index, field);
    }
    const QString problem = mapping.Problem();
    if (!problem.isEmpty())
        return fail(problem);
    return mapping;
}

QString CsvImportMapping::Field(int column) const {
    return column >= 0 && column < fields_.size() ? fields_[column] : QString::fromLatin1(Skip);
}

void CsvImportMapping::SetField(int column, const QString& field) {
    if (column >= 0 && column < fields_.size())
        fields_[column] = field;
}

int CsvImportMapping::ColumnOf(const QString& field) const {
    return static_cast<int>(fields_.indexOf(field));
}

QString CsvImportMapping::Problem() const {
    QHash<QString, int> seen;
    for (const QString& field : fields_) {
        if (field != QLatin1String(Skip) && ++seen[field] == 2)
            return QStringLiteral("two columns are mapped to %1").arg(field);
    }
    if (ColumnOf(QStringLiteral("figure_name")) < 0)
        return QStringLiteral("no column is mapped to figure_name");
    return {};
}
