#pragma once

#include <QAbstractItemModel>
#include <QItemSelectionModel>

#include <vector>

// The rows a selection holds, top to bottom.
inline std::vector<int> SelectedRowsOf(const QItemSelectionModel& selection) {
    std::vector<int> rows;
    for (int row = 0; row < selection.model()->rowCount(); ++row)
        if (selection.isRowSelected(row))
            rows.push_back(row);
    return rows;
}
