#pragma once

#include <QString>

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
// Double click on the grid: toggles a segment from the type column, otherwise
// asks for a value and writes it to every selected cell.
void EditSelectedCells(GpsTable& table);
// Single click on the header row: waypoint tables sort on the clicked column;
// path-ordered tables never sort.
void HeaderClicked(GpsTable& table, int col);

} // namespace TableCommands

} // namespace trekora
