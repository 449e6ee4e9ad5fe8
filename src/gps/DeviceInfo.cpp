#include "gps/DeviceInfo.h"

#include <algorithm>
#include <array>

namespace trekora::gps {

namespace {

constexpr int kCell = 10;

// A 6-character tag and a 4-character name: one 10-character cell.
QString cell(const char* tag, const QString& name) {
    return QString::fromLatin1(tag) + name.leftJustified(kCell - 6, QLatin1Char(' '), true);
}

QString blanks(int count) {
    return QString(count, QLatin1Char(' '));
}

} // namespace

CapabilityColumns capabilityTable(const Capabilities& c) {
    CapabilityColumns t;
    t.protocols = QStringLiteral("Supported Protocols:") + cell(" Link:", c.linkProtocol) +
                  cell("  WPT:", c.waypointProtocol) + cell("  RTE:", c.routeProtocol) +
                  cell("  TRK:", c.trackProtocol) + cell("  PRX:", c.proximityProtocol) +
                  cell("  ALM:", c.almanacProtocol) + cell("  DTE:", c.dateTimeProtocol) +
                  cell("  POS:", c.positionProtocol) + cell("  PVT:", c.pvtProtocol);
    t.headers = QStringLiteral("Supported Formats:  ") + QStringLiteral(" Hdrs ") + blanks(4) +
                blanks(kCell) + cell("  RTE:", c.routeHeaderType) +
                cell("  TRK:", c.trackHeaderType) + blanks(kCell) + blanks(kCell);
    t.data = blanks(2 * kCell) + QStringLiteral(" Data ") + blanks(4) +
             cell("  WPT:", c.waypointType) + cell("  RTE:", c.routeWaypointType) +
             cell("  TRK:", c.trackPointType) + cell("  PRX:", c.proximityWaypointType) +
             cell("  ALM:", c.almanacType) + cell("  DTE:", c.dateTimeType) +
             cell("  POS:", c.positionType) + cell("  PVT:", c.pvtType);
    return t;
}

QString dateText(const DateTimeRecord& r) {
    return QStringLiteral("%1/%2/%3").arg(r.month).arg(r.day).arg(r.year);
}

QString timeText(const DateTimeRecord& r) {
    return QStringLiteral("%1:%2:%3").arg(r.hour).arg(r.minute).arg(r.second);
}

bool screenShotCapable(const ProductRecord& product) {
    if (product.software_version >= 458)
        return true;
    constexpr std::array<std::int16_t, 6> kWithout = {77, 87, 96, 105, 106, 138};
    return std::find(kWithout.begin(), kWithout.end(), product.product_id) == kWithout.end();
}

bool isNmeaLine(const QString& line) {
    return line.startsWith(QLatin1String("$GP"));
}

} // namespace trekora::gps
