#include "table/RecordKind.h"

#include "table/FieldCatalogue.h"

namespace trekora {

QString recordTypeKey(RecordKind kind) {
    switch (kind) {
    case RecordKind::Waypoint:
        return RecordType::Waypoint;
    case RecordKind::Track:
        return RecordType::Track;
    case RecordKind::Route:
        return RecordType::Route;
    case RecordKind::RealTime:
        return RecordType::RealTime;
    }
    return RecordType::Waypoint;
}

std::optional<RecordKind> recordKindOf(const QString& typeKey) {
    for (RecordKind kind :
         {RecordKind::Waypoint, RecordKind::Track, RecordKind::Route, RecordKind::RealTime})
        if (recordTypeKey(kind) == typeKey)
            return kind;
    return std::nullopt;
}

} // namespace trekora
