#include "app/TableCommands.h"

#include "core/UserInteraction.h"
#include "table/GpsTable.h"

#include <algorithm>

namespace trekora::TableCommands {

bool AddBlankRecord(GpsTable& table) {
    return table.AddRecord(QString());
}

void EmptyTable(GpsTable& table) {
    table.ResetTable();
    table.host().setMessage(QStringLiteral("Table has been cleared"));
}

void AutoFitColumns(GpsTable& table) {
    GpsTable::AutoFitColumns(table.grid());
}

void EditSelectedCells(GpsTable& table) {
    DataGrid& grid = table.grid();
    if (grid.col() == 1) {
        table.ToggleSegmentRows(grid.row());
        return;
    }
    // The symbol column will open the symbol picker first; until it exists the
    // symbol is typed like any other value.
    const std::optional<QString> answer = userInteraction().input(
        QStringLiteral("Change Value to:"), QStringLiteral("Modify Cell Value"),
        grid.text(grid.row(), grid.col()));
    if (!answer || answer->isEmpty())
        return;

    // The rows come from the grid's own selection, not from a selection state
    // that a reset may have widened to the whole table.
    table.UpdateSelection();
    const GpsTable::Selection& selection = table.selection();
    const int first = std::max(1, std::min(selection.first, selection.last));
    const int last = std::max(selection.first, selection.last);
    const int colLow = std::max(1, std::min(grid.col(), grid.colSel()));
    const int colHigh = std::max(grid.col(), grid.colSel());
    table.WriteBlock(first, std::min(last, grid.rows() - 1), colLow,
                     std::min(colHigh, grid.cols() - 1), *answer);
    table.ColorSegments(grid.row());
}

void HeaderClicked(GpsTable& table, int col) {
    if (table.currentRecordType() != RecordType::Waypoint)
        return;
    if (col < 1 || col >= table.grid().cols())
        return;
    table.SortByColumn(col);
}

} // namespace trekora::TableCommands
