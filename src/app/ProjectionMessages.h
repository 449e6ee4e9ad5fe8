#pragma once

#include "proj/ProjectTable.h"

namespace trekora {

class GpsTable;

// The window side of table conversions: runs them and shows the texts the
// user knows for their failures, through UserInteraction.

// Shows what went wrong in a table conversion, if anything: a conversion
// that could not run, or rows PROJ could not convert ("Error projecting
// points to " + definition; those rows keep blank projected cells). Rows
// without numeric source coordinates are not reported here: the commands
// that need them check first. Returns true when every row PROJ was given
// was converted.
bool reportTableProjection(const TableProjection& result);

// Converts every record of the table in place through the current
// projection (forward: lat/long → x_proj/y_proj) and reports failures.
bool Project_Table(GpsTable& table, bool forward);

// After a shapefile load: fills lat/long from x_proj/y_proj in the current
// projection, unless the shapefile's .prj (`prjPath`, may be empty) names
// another system. Then the coordinates are read in that system, x_proj/y_proj
// are projected again into the current one, and the status line says so.
bool unprojectLoadedShapefile(GpsTable& table, const QString& prjPath);

// Edit, Project Coordinates: needs numeric lat and long in every row of the
// row range; converts the whole table.
bool ProjectCoordinates(GpsTable& table);
// Edit, Unproject Coordinates: needs one row with numeric y_proj and x_proj;
// converts the whole table.
bool UnprojectCoordinates(GpsTable& table);

// The coordinate part of the pre-upload check: true when the rows of the row
// range have numeric lat/long, or got them from their projected x/y after
// the user agreed. Otherwise the user has been told why and the upload must
// not proceed.
bool CheckLatLongBeforeUpload(GpsTable& table);

} // namespace trekora
