#pragma once

#include <QString>
#include <QStringView>
#include <optional>

namespace trekora {

// A coordinate as the table keeps it: eight decimals, "." as separator, no
// negative zero ("-93.50000000", "0.00000000").
QString coordinateText(double value);
// The same into `out`, reusing its storage (whole-table conversions).
void writeCoordinateText(double value, QString& out);

// The number a coordinate cell holds; std::nullopt for a cell that is not a
// (finite) number.
std::optional<double> coordinateNumber(QStringView cell);
// The same with a non-numeric cell counted as 0.
double coordinateValue(QStringView cell);

} // namespace trekora
