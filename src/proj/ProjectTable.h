#pragma once

#include "proj/CoordinateText.h"

namespace trekora {

class GpsTable;

// Converts every record of the table in place through the current
// projection: forward fills x_proj/y_proj from long/lat, inverse fills
// long/lat from x_proj/y_proj, eight decimals each. Returns false, leaving
// the table unchanged, when the table has no header, the current projection
// is not in the catalogue or PROJ rejects it (each reported in a box).
bool Project_Table(GpsTable& table, bool forward);

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
