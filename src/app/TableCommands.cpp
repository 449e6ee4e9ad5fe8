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

namespace {

// Writes `value` (and the picture, if any) to every selected cell.
void WriteSelectedCells(GpsTable& table, const QString& value, const QString& picture) {
    DataGrid& grid = table.grid();
    // The rows come from the grid's own selection, not from a selection state
    // that a reset may have widened to the whole table.
    table.UpdateSelection();
    const GpsTable::Selection& selection = table.selection();
    const int first = std::max(1, std::min(selection.first, selection.last));
    const int last = std::max(selection.first, selection.last);
    const int colLow = std::max(1, std::min(grid.col(), grid.colSel()));
    const int colHigh = std::max(grid.col(), grid.colSel());
    table.WriteBlock(first, std::min(last, grid.rows() - 1), colLow,
                     std::min(colHigh, grid.cols() - 1), value, picture);
}

bool InSymbolColumnOnly(GpsTable& table) {
    const DataGrid& grid = table.grid();
    const int symbolCol = table.FindColumn(QStringLiteral("Symbol"));
    return symbolCol >= 0 && grid.col() == grid.colSel() && grid.col() == symbolCol;
}

} // namespace

void EditSelectedCells(GpsTable& table, const SymbolPicker& pickSymbol) {
    DataGrid& grid = table.grid();
    if (grid.col() == 1) {
        table.ToggleSegmentRows(grid.row());
        return;
    }
    if (pickSymbol && InSymbolColumnOnly(table)) {
        const std::optional<SymbolListItem> symbol = pickSymbol();
        if (!symbol)
            return;
        // The code comes from the chosen entry itself: a name-first item text
        // such as "Contact, Female1 (8264)" would read as 1 from its first digit.
        const auto& entries = SymbolCatalogue::entries();
        const QString picture = symbol->iconIndex >= 0 && size_t(symbol->iconIndex) < entries.size()
                                    ? entries[size_t(symbol->iconIndex)].key
                                    : QString();
        WriteSelectedCells(table, QString::number(symbol->code), picture);
        table.ColorSegments(grid.row());
        return;
    }
    const std::optional<QString> answer = userInteraction().input(
        QStringLiteral("Change Value to:"), QStringLiteral("Modify Cell Value"),
        grid.text(grid.row(), grid.col()));
    if (!answer || answer->isEmpty())
        return;
    WriteSelectedCells(table, *answer, QString());
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
