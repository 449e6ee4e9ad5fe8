#pragma once

#include <QString>
#include <QStringList>

namespace trekora {

class DataGrid;

// The stored column order and visibility per record type (settings section
// "fields"): items "name:flag" joined with ",", flag "1" visible.
namespace FieldSettings {

// Every field of the type, in list order, each followed by ":1".
QString defaultValue(const QString& typeKey);
// The stored value (empty if none).
QString stored(const QString& typeKey);
// True when the value names "x_proj", "y_proj" and "filename".
bool isUsable(const QString& value);
// Validates every type's setting and, for `typeKey` (if not empty), first
// resets it to the default; returns the track_area flag ("1" or "0").
QString SetFieldSettings(const QString& typeKey);
// Stores the grid's column visibility for the type, in field-list order.
void SaveFields(const QString& typeKey, const DataGrid& grid);
// True when the field can never be cleared.
bool isRequiredField(const QString& name);

} // namespace FieldSettings

} // namespace trekora
