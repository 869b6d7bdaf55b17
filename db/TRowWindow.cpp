#include "TRowWindow.h"

#include "TQueryRows.h"
#include "TSelectStatement.h"

#include <algorithm>
#include <cstdlib>

void TRowWindow::Read(TQueryRows& rows, int index, int current, TSelectStatement& select) {
    if (!rows[index].values.empty())
        return;
    const int first = index / PageRows * PageRows;
    const int end = std::min(rows.Count(), first + PageRows);
    for (int i = first; i < end; ++i) {
        TQueryRows::Row& row = rows[i];
        if (!row.values.empty())
            continue;
        if (!select.ReadRow(row.tableKey, &row.values)) {
            row.values.assign(select.ColumnCount(), QVariant());
            for (int column = 0; column < select.ColumnCount(); ++column) {
                if (!select.Columns()[column].lazy)
                    row.values[column] = QVariant(QMetaType::fromType<QString>());
            }
            row.values[select.KeyIndex()] = row.tableKey;
        }
        ++sinceTrim_;
    }
    if (sinceTrim_ > KeptRows)
        Trim(rows, index, current);
}

void TRowWindow::Trim(TQueryRows& rows, int index, int current) {
    sinceTrim_ = 0;
    for (int i = 0; i < rows.Count(); ++i) {
        TQueryRows::Row& row = rows[i];
        if (row.values.empty())
            continue;
        if (!row.kept && i != current && std::abs(i - index) > KeptRows / 2)
            std::vector<QVariant>().swap(row.values);
    }
}

void TRowWindow::Clear() {
    sinceTrim_ = 0;
}
