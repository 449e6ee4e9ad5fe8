#pragma once

#include <QString>
#include <functional>

namespace trekora {

class GpsTable;
class FieldChooser;

// What the import and export routines work with: the table, the field-mapping
// dialog (or a headless stand-in) and the projection bridge's table
// conversion (forward: lat/long → projected; inverse: projected → lat/long).
struct IoContext {
    GpsTable& table;
    FieldChooser& chooser;
    std::function<bool(bool forward)> projectTable;
};

// A failure that a routine passes on to its caller unreported (a missing or
// unreadable file, for example); empty when there was none.
struct PassedError {
    int number = 0;
    QString source;
    QString description;
    bool isSet() const { return number != 0; }
};

} // namespace trekora
