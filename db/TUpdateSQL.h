#pragma once

#include <QStringList>

// The statements that write one cached change of a live query to its table.
// A parameter named after a column takes the row's new value (:figure_name);
// one prefixed OLD_ takes the value the column had when the row was read
// (:OLD_figure_id).
struct TUpdateSQL {
    QStringList InsertSQL;
    QStringList ModifySQL;
    QStringList DeleteSQL;
};
