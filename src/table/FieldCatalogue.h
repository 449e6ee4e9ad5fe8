#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace trekora {

// The record type keys and their field lists, and the dBASE definition of
// every field.
namespace RecordType {
inline const QString Waypoint = QStringLiteral("waypoint");
inline const QString Track = QStringLiteral("track");
inline const QString Route = QStringLiteral("route");
inline const QString RealTime = QStringLiteral("rtimewpt");
// The four keys in option-button order.
QStringList all();
} // namespace RecordType

// One catalogue entry: stored dBASE name, type ("C" or "N"), length, decimals
// and ordinal.
struct FieldDef {
    QString storedName;
    QString type;
    int length = 0;
    int decimals = 0;
    int ordinal = 0;
    // "lat,N,18,8": the definition as the dBASE writer takes it.
    QString definition() const;
    bool isNumeric() const { return type == QLatin1String("N"); }
};

// The names of a record type's fields, in column order; any other key gives
// the 47-field union list.
QStringList fieldNames(const QString& typeKey);
// The same, joined with ";".
QString GetFieldList(const QString& typeKey);

// The catalogue entry of a field name (case-insensitive); std::nullopt for a
// name that is not in the catalogue.
std::optional<FieldDef> catalogueEntry(const QString& fieldName);
// Every catalogue key, in catalogue order.
QStringList catalogueKeys();

} // namespace trekora
