#pragma once

#include <QString>
#include <QStringList>

namespace trekora {

// "Port n" (n = 1 … 10) names a serial device: by default the n-th serial
// device the system lists (USB adapters first, then ACM modems, then on-board
// ports, each sorted by name); the setting port/device<n> overrides it with
// any device path.
namespace SerialPortMap {

constexpr int kPortCount = 10;

// The system's serial devices in port order.
QStringList systemDevices();
// The device of port n, empty when none is mapped.
QString devicePath(int port);
QString devicePath(int port, const QStringList& systemDevices);
// True when port n has a device this user may open for reading and writing.
// The test only inspects the device node, so a port in use stays listed.
bool portUsable(int port);
bool deviceUsable(const QString& path);

} // namespace SerialPortMap

} // namespace trekora
