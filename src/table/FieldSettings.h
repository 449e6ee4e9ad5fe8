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
// True when the value has one item for every field of the type, each field
// named once (a hand-edited value may name unknown fields or repeat one,
// which would break every later save).
bool namesEveryFieldOnce(const QString& typeKey, const QString& value);
// Validates every type's setting and, for `typeKey` (if not empty), first
// resets it to the default; returns the track_area flag ("1" or "0"). A
// stored value that is not valid is replaced by the default and its type is
// added to `replaced`.
QString SetFieldSettings(const QString& typeKey, QStringList* replaced = nullptr);
// Stores the grid's column visibility for the type, in field-list order.
void SaveFields(const QString& typeKey, const DataGrid& grid);
// True when the field can never be cleared.
bool isRequiredField(const QString& name);

} // namespace FieldSettings

} // namespace trekora
