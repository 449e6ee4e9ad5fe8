#pragma once

#include <QList>
#include <QString>
#include <QStringView>
#include <optional>

namespace trekora {

class GpsTable;

// Checks the coordinates of every record a loader is about to add. A
// coordinate must be a number read by the file-number rule, a latitude within
// -90 … 90 and a longitude within -180 … 180; a record that breaks this is
// refused whole: loading it would put a 0 or a cut-off degree where the
// file had something else.
//
// The coordinate pair the load depends on (lat/long when the file supplies
// them, else y_proj/x_proj) must be present; the other pair may be blank.
class CoordinateCheck {
public:
    // `columns` is the loader's column list (";"-joined table columns, one
    // per value of a record).
    CoordinateCheck(const GpsTable& table, const QString& columns);

    struct Refusal {
        QString field;
        QString value;
        QString reason;
    };
    // Why the record with these values must not be added, if it must not.
    std::optional<Refusal> check(const QList<QStringView>& values) const;

private:
    struct Slot {
        QString field;
        qsizetype index = -1; // position of the value in a record, -1 when absent
        double limit = 0;     // largest magnitude; 0 for none
        bool required = false;
    };
    QList<Slot> m_slots;
};

} // namespace trekora
