#include "app/ProjectionMessages.h"

#include "core/TextConventions.h"
#include "core/UserInteraction.h"
#include "proj/CoordinateSystems.h"
#include "proj/CurrentProjection.h"
#include "table/GpsTable.h"

namespace trekora {

namespace {

bool rowHasNumbers(const DataGrid& grid, int row, int colA, int colB) {
    return text::isNumeric(grid.textView(row, colA)) && text::isNumeric(grid.textView(row, colB));
}

bool everyRowInRangeHasNumbers(const GpsTable& table, const QString& fieldA,
                               const QString& fieldB) {
    const int colA = table.FindColumn(fieldA);
    const int colB = table.FindColumn(fieldB);
    if (colA < 1 || colB < 1 || !table.hasRecords())
        return false;
    return table.ColumnsFilled(table.grid(), {colA, colB}, QStringLiteral("number"));
}

void showProjectionError(const QString& definition) {
    userInteraction().message(QStringLiteral("Error projecting points to ") + definition,
                              QStringLiteral("Projection Error"));
}

} // namespace

bool reportTableProjection(const TableProjection& result) {
    switch (result.error) {
    case TableProjectionError::None:
        break;
    case TableProjectionError::NoHeader:
        return false;
    case TableProjectionError::MissingColumns:
    case TableProjectionError::NotInCatalogue:
        userInteraction().message(QStringLiteral("Project_Table Error #") +
                                      QString::number(result.status.number) +
                                      QStringLiteral(" -- ") + result.status.description,
                                  QStringLiteral("Use menu option File-Set Projection"));
        return false;
    case TableProjectionError::Rejected:
        showProjectionError(result.definition);
        return false;
    }
    if (result.failedRows > 0) {
        showProjectionError(result.definition);
        return false;
    }
    return true;
}

bool Project_Table(GpsTable& table, bool forward) {
    return reportTableProjection(projectTableRows(table, forward));
}

bool unprojectLoadedShapefile(GpsTable& table, const QString& prjPath) {
    if (prjPath.isEmpty())
        return Project_Table(table, false);
    const PrjSystem file = readPrjSystem(prjPath);
    const bool sameAsCurrent =
        file.identified && file.system.code == CurrentProjection::code() &&
        file.system.catalogue.compare(CurrentProjection::catalogueFile(), Qt::CaseInsensitive) == 0;
    // A .prj that names no known system leaves the file in the current
    // projection, as loading always read it.
    if (!file.identified || sameAsCurrent)
        return Project_Table(table, false);
    const bool ok = reportTableProjection(projectTableRows(table, false, file.system.definition)) &&
                    Project_Table(table, true);
    table.host().setMessage(QStringLiteral("Coordinates read in ") + file.system.label() +
                            QStringLiteral(" (") + file.system.name +
                            QStringLiteral("), the system of the file's .prj"));
    return ok;
}

bool ProjectCoordinates(GpsTable& table) {
    if (!everyRowInRangeHasNumbers(table, QStringLiteral("lat"), QStringLiteral("long"))) {
        userInteraction().message(
            QStringLiteral("Projection Error: Invalid Lat and/or Long values exist."), QString());
        return false;
    }
    return Project_Table(table, true);
}

bool UnprojectCoordinates(GpsTable& table) {
    const DataGrid& grid = table.grid();
    const int colY = table.FindColumn(QStringLiteral("y_proj"));
    const int colX = table.FindColumn(QStringLiteral("x_proj"));
    bool anyProjected = false;
    if (colY >= 1 && colX >= 1)
        for (int r = 1; r < grid.rows() && !anyProjected; ++r)
            anyProjected = rowHasNumbers(grid, r, colY, colX);
    if (!anyProjected) {
        userInteraction().message(
            QStringLiteral("Unprojection Error: No valid Projected X/Y values exist."), QString());
        return false;
    }
    return Project_Table(table, false);
}

bool CheckLatLongBeforeUpload(GpsTable& table) {
    if (everyRowInRangeHasNumbers(table, QStringLiteral("lat"), QStringLiteral("long")))
        return true;
    if (everyRowInRangeHasNumbers(table, QStringLiteral("y_proj"), QStringLiteral("x_proj"))) {
        const Answer answer = userInteraction().question(
            QStringLiteral("Lat/Long fields must contain valid values.  Would you like the "
                           "Lat/Long ") +
                QStringLiteral("to be generated from your projected XY values?"),
            QString());
        return answer == Answer::Yes && Project_Table(table, false);
    }
    userInteraction().message(
        QStringLiteral("Lat/Long fields must contain valid values.  Please set Lat/Long values ") +
            QStringLiteral("and try again."),
        QString());
    return false;
}

} // namespace trekora
