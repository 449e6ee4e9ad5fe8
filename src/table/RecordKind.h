#pragma once

#include <QString>
#include <optional>

namespace trekora {

// The four record types as a closed set. The table and the stored settings
// keep the type keys of RecordType ("waypoint", "track", ...); code that
// decides by type converts once and switches over this enum.
enum class RecordKind { Waypoint, Track, Route, RealTime };

// The type key of `kind` (RecordType::Waypoint ...).
QString recordTypeKey(RecordKind kind);
// The kind of a type key; none for a key that names no record type.
std::optional<RecordKind> recordKindOf(const QString& typeKey);

} // namespace trekora
