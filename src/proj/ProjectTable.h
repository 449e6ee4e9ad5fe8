#pragma once

#include "proj/CoordinateText.h"
#include "proj/ProjectionStatus.h"

#include <QString>
#include <vector>

namespace trekora {

class GpsTable;

// Why a table conversion did not run at all.
enum class TableProjectionError {
    None,
    NoHeader,       // the table has no header row: nothing to do
    MissingColumns, // lat/long or x_proj/y_proj is not a column
    NotInCatalogue, // the current projection has no catalogue definition
    Rejected,       // PROJ cannot use the definition
};

// A row whose point could not be converted, with its source cells as read.
struct FailedRow {
    int row = 0; // table row, 1-based
    QString x;
    QString y;
};

// What a table conversion did. Rows PROJ could not convert get blank
// target cells; rows whose source cells are not both numbers keep their
// target cells as they were. Both are counted, and the first few named.
struct TableProjection {
    static constexpr int kNamedRows = 5;

    TableProjectionError error = TableProjectionError::None;
    ProjectionStatus status;
    QString definition; // the PROJ parameters used (or rejected)
    int rows = 0;       // rows looked at
    int failedRows = 0; // rows PROJ could not convert
    int unreadRows = 0; // rows without numeric source coordinates
    std::vector<FailedRow> firstFailed;
    std::vector<FailedRow> firstUnread;

    bool converted() const { return error == TableProjectionError::None; }
    // Every row has its target coordinates.
    bool complete() const { return converted() && failedRows == 0 && unreadRows == 0; }
};

// Converts every record of the table in place through the current
// projection: forward fills x_proj/y_proj from long/lat, inverse fills
// long/lat from x_proj/y_proj, eight decimals each. Shows nothing; when the
// conversion cannot run the table is unchanged and `error`/`status` say why.
TableProjection projectTableRows(GpsTable& table, bool forward);
// The same through an explicit PROJ definition instead of the current
// projection's (a file's own coordinate system, for example).
TableProjection projectTableRows(GpsTable& table, bool forward, const QString& definition);

// One line naming the rows a conversion could not fill, for a terminal:
// "3 rows could not be projected: row 4 (1e9, 2), row 7 (...), ..."; rows
// are counted from `firstRowNumber` (the file's row of table row 1).
// Empty when every row was filled.
QString describeUnfilledRows(const TableProjection& result, bool forward, int firstRowNumber = 1);

} // namespace trekora
