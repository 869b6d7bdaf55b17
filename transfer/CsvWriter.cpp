#include "CsvWriter.h"

#include <QIODevice>

CsvWriter::CsvWriter(QIODevice& device, char separator) : device_(device), separator_(separator) {}

QByteArray CsvWriter::Encode(const CsvField& field, char separator) {
    if (!field)
        return {};
    const QByteArray& text = *field;
    const bool needsQuotes = text.isEmpty() || text.contains(separator) || text.contains('"') ||
                             text.contains('\r') || text.contains('\n') || text.front() == ' ' ||
                             text.back() == ' ';
    if (!needsQuotes)
        return text;
    QByteArray quoted;
    quoted.reserve(text.size() + 2);
    quoted.append('"');
    for (const char c : text) {
        if (c == '"')
            quoted.append('"');
        quoted.append(c);
    }
    quoted.append('"');
    return quoted;
}

bool CsvWriter::WriteRecord(const QList<CsvField>& fields) {
    QByteArray line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line.append(separator_);
        line.append(Encode(fields[i], separator_));
    }
    line.append("\r\n");
    return device_.write(line) == line.size();
}
