#pragma once

#include "io/IoContext.h"

#include <QString>
#include <QStringList>

namespace trekora {

// What the save dialog returned: the path (empty when cancelled), the file
// type key ("shp_p", "shp_u", "dbf", "txt_comma", "txt", "graphic"), the
// output shape ("Point", "Line", "Polygon") and whether to append.
struct SaveRequest {
    QString path;
    QString fileType;
    QString shape;
    bool append = false;
    bool cancelled() const { return path.isEmpty(); }
};

// The save dialog with its append question. `fileType` "" offers the five
// file kinds, "shp" only the projected shapefile, "graphic" names the
// scratch shapefile without asking.
SaveRequest getFileInfo_UserFilename(const QString& fileType);
// The full request: file name clean-up and the output shape.
SaveRequest getFileInfo(IoContext& io, const QString& fileType);
// "Point" unless a track or route goes to a shapefile; then the output-shape
// dialog decides (empty when it was closed without OK).
QString getFileInfo_UserShapeType(IoContext& io, const QString& fileTypeKey,
                                  const QString& recordType);

// The dBASE field specs ("lat,N,18,8,3") of the table's visible columns.
QStringList attributeFieldSpecs(const GpsTable& table);

// Writes the table's row range as a point, line or polygon shapefile with its
// attribute table and PRJ file. Failures are reported in message boxes.
bool Save_Shapefile(IoContext& io, const QString& shape, bool projected, const QString& path,
                    bool append);
// Writes the table's row range as a dBASE table.
bool Save_DBF(IoContext& io, const QString& path, bool append);
// "Save To" → "File...": asks and writes; true when a file was written.
bool SaveToFileCommand(IoContext& io);
// The shapefile-only save that a GIS host asks for; the path written or empty.
QString Save_ShapefileDialog(IoContext& io);

// "point", "multipoint", "line", "polygon", "unknown", or empty on failure.
QString get_ShapeFileType(const QString& path);
// Deletes a shapefile's main file, index, table and spatial indexes (not the PRJ).
void KillShapeFile(const QString& name);

} // namespace trekora
