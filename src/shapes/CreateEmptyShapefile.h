#pragma once

#include <QString>

namespace trekora {

// Writes a header-only (100-byte) shapefile at `path`, replacing any file
// there, for the type named "Point", "Line" or "Polygon" (case and
// surrounding blanks ignored): type 1, 3 or 5, file length 50 words and the
// box 0, 0, -1, -1 of an empty file. Call it for the .shp and the .shx path.
// Any other name raises the "Programming ERROR" notice (ShapeNotice.h) and
// writes type 0.
// Returns false when the file could not be written.
bool CreateEmptyShapefile(const QString& path, const QString& typeName);

} // namespace trekora
