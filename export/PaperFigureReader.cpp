#include "PaperFigureReader.h"

#include "TDatabase.h"
#include "TSqlStatement.h"

namespace {

const char* const Columns = "select f.figure_id, f.figure_name, g.genre_name, p.producer_name, "
                            "f.scale, f.figure_dsc, f.picture_th";
// The figures list's joins, which its filter line may refer to.
const char* const From = " from figures f "
                         "left outer join producers p on (f.producer_id = p.producer_id) "
                         "left outer join genres g on (f.genre_id = g.genre_id)";

// After the last figure read, in the order of the list's index: figures
// without a name come first.
const char* const AfterNamed =
    "f.figure_name > :paper_name or (f.figure_name = :paper_name and f.figure_id > :paper_id)";
const char* const AfterUnnamed =
    "(f.figure_name is null and f.figure_id > :paper_id) or f.figure_name is not null";

QString Text(const TSqlStatement& statement, int column) {
    return QString::fromUtf8(statement.ColumnBytes(column).toByteArray());
}

} // namespace

PaperFigureReader::PaperFigureReader(const QString& filterLine, const QVariantMap& values,
                                     int batch)
    : condition_(filterLine.trimmed()), values_(values), batch_(qMax(1, batch)) {
    if (condition_.startsWith(QLatin1String("where "), Qt::CaseInsensitive))
        condition_ = condition_.mid(6);
}

QString PaperFigureReader::Where(const QString& more) const {
    QStringList parts;
    if (!condition_.isEmpty())
        parts << QLatin1Char('(') + condition_ + QLatin1Char(')');
    if (!more.isEmpty())
        parts << QLatin1Char('(') + more + QLatin1Char(')');
    return parts.isEmpty() ? QString() : QStringLiteral(" where ") + parts.join(" and ");
}

int PaperFigureReader::Count() const {
    TSqlStatement statement(TDatabase::Connected(QStringLiteral("ADB")).Handle(),
                            QStringLiteral("select count(*)") + QString::fromLatin1(From) +
                                Where({}));
    statement.BindAll([this](const QString& name) { return values_.value(name); });
    return statement.Step() ? statement.ColumnBytes(0).toInt() : 0;
}

void PaperFigureReader::Skip(int count) {
    if (!started_) {
        skip_ += qMax(0, count);
        return;
    }
    for (int i = 0; i < count && Next(); ++i) {
    }
}

void PaperFigureReader::ReadBatch(int offset) {
    QString after;
    if (started_)
        after = QString::fromLatin1(lastUnnamed_ ? AfterUnnamed : AfterNamed);
    TSqlStatement statement(TDatabase::Connected(QStringLiteral("ADB")).Handle(),
                            QString::fromLatin1(Columns) + QString::fromLatin1(From) +
                                Where(after) +
                                QStringLiteral(" order by f.figure_name, f.figure_id "
                                               "limit :paper_batch offset :paper_skip"));
    statement.BindAll([&](const QString& name) -> QVariant {
        if (name == QLatin1String("paper_name"))
            return lastName_;
        if (name == QLatin1String("paper_id"))
            return lastId_;
        if (name == QLatin1String("paper_batch"))
            return batch_;
        if (name == QLatin1String("paper_skip"))
            return offset;
        return values_.value(name);
    });
    int rows = 0;
    while (statement.Step()) {
        ++rows;
        PaperFigure figure{Text(statement, 0),
                           Text(statement, 1),
                           Text(statement, 2),
                           Text(statement, 3),
                           Text(statement, 4),
                           Text(statement, 5),
                           statement.ColumnBytes(6).toByteArray()};
        lastId_ = figure.id;
        lastName_ = figure.name;
        // A NULL name sorts before every other, an empty one does not.
        lastUnnamed_ = statement.ColumnBytes(1).isNull();
        read_.push_back(std::move(figure));
    }
    started_ = true;
    exhausted_ = rows < batch_;
}

std::optional<PaperFigure> PaperFigureReader::Next() {
    if (read_.empty() && !exhausted_) {
        const int offset = started_ ? 0 : skip_;
        ReadBatch(offset);
    }
    if (read_.empty())
        return std::nullopt;
    PaperFigure figure = std::move(read_.front());
    read_.pop_front();
    return figure;
}
