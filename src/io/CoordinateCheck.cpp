#include "io/CoordinateCheck.h"

#include "core/FileNumber.h"
#include "core/TextConventions.h"
#include "table/GpsTable.h"

#include <cmath>

namespace trekora {

CoordinateCheck::CoordinateCheck(const GpsTable& table, const QString& columns) {
    const QStringList list = text::split(columns, QStringLiteral(";"));
    auto position = [&](const char* field) -> qsizetype {
        const int column = table.FindColumn(QString::fromLatin1(field));
        if (column < 1)
            return -1;
        // The last value mapped to a column is the one that stays in it.
        for (qsizetype k = list.size() - 1; k >= 0; --k)
            if (text::val(list[k]) == column)
                return k;
        return -1;
    };
    Slot lat{QStringLiteral("lat"), position("lat"), 90, false};
    Slot lon{QStringLiteral("long"), position("long"), 180, false};
    Slot y{QStringLiteral("y_proj"), position("y_proj"), 0, false};
    Slot x{QStringLiteral("x_proj"), position("x_proj"), 0, false};
    const bool geographic = lat.index >= 0 && lon.index >= 0;
    lat.required = lon.required = geographic;
    y.required = x.required = !geographic && y.index >= 0 && x.index >= 0;
    for (const Slot& slot : {lat, lon, y, x})
        if (slot.index >= 0)
            m_slots.append(slot);
}

std::optional<CoordinateCheck::Refusal>
CoordinateCheck::check(const QList<QStringView>& values) const {
    for (const Slot& slot : m_slots) {
        const QStringView raw = slot.index < values.size() ? values[slot.index] : QStringView();
        const QStringView value = text::trim(raw);
        if (value.isEmpty()) {
            if (slot.required)
                return Refusal{slot.field, QString(), QStringLiteral("is empty")};
            continue;
        }
        const auto number = text::fileNumber(value);
        if (!number)
            return Refusal{slot.field, value.toString(), QStringLiteral("is not a number")};
        if (slot.limit > 0 && std::fabs(*number) > slot.limit)
            return Refusal{slot.field, value.toString(),
                           QStringLiteral("is outside -%1 to %1").arg(slot.limit)};
    }
    return std::nullopt;
}

} // namespace trekora
