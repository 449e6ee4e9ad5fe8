#pragma once

#include <QString>
#include <QStringList>

namespace trekora::gps {

// "Port n" (n = 1 ... 10) names a serial device: the n-th serial device the
// system lists, unless the setting port/device<n> names another path (a
// pseudo-terminal, for instance). The menu's captions, its "usable" check and
// the link all read this one map, so the entry the user picks is the device
// the link opens.
class SerialPorts {
public:
    static constexpr int kMaxPort = 10;

    // The system's serial devices in port order.
    static QStringList systemDevices();
    // `devices` in port order: USB adapters first, then ACM modems, then
    // on-board ports, then the rest; within a family by number, so ttyS2
    // comes before ttyS10.
    static QStringList inPortOrder(QStringList devices);
    // The device path of port n; empty when none is mapped.
    static QString devicePath(int port);
    static QString devicePath(int port, const QStringList& systemDevices);
    // True when port n has a device this user may open for reading and
    // writing. Only the device node is inspected, so a port in use stays
    // listed.
    static bool portUsable(int port);
    static bool deviceUsable(const QString& path);
    // The tty of a receiver on USB that the kernel's serial driver has
    // claimed (vendor 0x091e); empty when there is none.
    static QString receiverTty();
};

} // namespace trekora::gps
