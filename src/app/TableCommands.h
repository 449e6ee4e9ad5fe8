#pragma once

#include "gps/SymbolCatalogue.h"

#include <QString>
#include <functional>
#include <optional>

namespace trekora {

class GpsTable;

// The table editing commands of the main window and the grid's mouse
// actions, bound to the table's operations.
namespace TableCommands {

// Add Record: a blank record of the current type.
bool AddBlankRecord(GpsTable& table);
// Empty Table.
void EmptyTable(GpsTable& table);
// Auto Fit Columns on the main grid.
void AutoFitColumns(GpsTable& table);
// Shows the symbol picker; the chosen symbol, or nothing when cancelled.
using SymbolPicker = std::function<std::optional<SymbolListItem>()>;

// Double click on the grid: toggles a segment from the type column; in the
// symbol column (alone) lets the user pick a symbol with `pickSymbol`;
// otherwise asks for a value. The result goes to every selected cell.
void EditSelectedCells(GpsTable& table, const SymbolPicker& pickSymbol = {});
// Single click on the header row: waypoint tables sort on the clicked column;
// path-ordered tables never sort.
void HeaderClicked(GpsTable& table, int col);

} // namespace TableCommands

} // namespace trekora
