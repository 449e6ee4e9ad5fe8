#pragma once

#include "sim/SimData.h"

#include <QIODevice>
#include <QString>

namespace trekora::sim {

// Reads waypoints, routes and tracks from a GPX 1.0/1.1 file. Bad input gives
// an error text, never a crash; element counts are bounded.
class GpxReader {
public:
    static constexpr int kMaxItems = 500000;

    static bool readFile(const QString& path, SimData& data, QString* error);
    static bool read(QIODevice& device, SimData& data, QString* error);
};

} // namespace trekora::sim
