#pragma once

#include "gps/GarminRecords.h"
#include "gps/protocol/Capabilities.h"

#include <QString>

// Texts and rules of the receiver information: the capability table in
// columns of 10-character cells, date and time texts, the screen-image rule
// and the test for an NMEA line.
namespace trekora::gps {

struct CapabilityColumns {
    QString protocols; // lblFormat1
    QString headers;   // lblFormat2
    QString data;      // lblFormat3
};

CapabilityColumns capabilityTable(const Capabilities& caps);

// Month "/" day "/" year and hour ":" minute ":" second, no leading zeros.
QString dateText(const DateTimeRecord& record);
QString timeText(const DateTimeRecord& record);

// Whether the unit can send its screen image.
bool screenShotCapable(const ProductRecord& product);

// A line from the receiver that shows it talks NMEA ("$GP...").
bool isNmeaLine(const QString& line);

} // namespace trekora::gps
