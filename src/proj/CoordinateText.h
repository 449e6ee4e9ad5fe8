#pragma once

#include <QString>
#include <QStringView>

namespace trekora {

// A coordinate as the table keeps it: eight decimals, "." as separator, no
// negative zero ("-93.50000000", "0.00000000").
QString coordinateText(double value);
// The same into `out`, reusing its storage (whole-table conversions).
void writeCoordinateText(double value, QString& out);

// The number a coordinate cell holds; a cell that is not numeric counts as 0.
double coordinateValue(QStringView cell);

} // namespace trekora
