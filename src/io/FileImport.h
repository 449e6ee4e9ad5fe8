#pragma once

#include "io/IoContext.h"

#include <QString>

namespace trekora {

// Replaces the table's contents with the shapes and attributes of a
// shapefile (points as waypoints, lines and polygons as track vertices).
bool Open_Shapefile(IoContext& io, const QString& path);
// Replaces the table's contents with the records of a dBASE table.
bool Open_DBF(IoContext& io, const QString& path);
// Loads a file by its extension: shp, dbf, anything else text. Errors that a
// reader passes on unreported go to `passed`.
bool Open_File(IoContext& io, const QString& path, PassedError* passed = nullptr);
// "Load From" → "File...": asks for the file, loads it and says how it went.
void LoadFromFileCommand(IoContext& io);

} // namespace trekora
