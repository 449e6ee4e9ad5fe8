#pragma once

#include <QString>
#include <QStringList>

namespace trekora::gps {

// "Port n" (n = 1 ... 10) names a serial device: the n-th serial device the
// system lists (sorted by name, ttyUSB, ttyACM, ttyS...), unless the setting
// port/device<n> names another path (a pseudo-terminal, for instance).
class SerialPorts {
public:
    static constexpr int kMaxPort = 10;

    static QStringList systemDevices();
    // The device path of port n; empty when none is mapped.
    static QString devicePath(int port);
    // A device is mapped for port n and can be opened.
    static bool exists(int port);
    // The tty of a receiver on USB that the kernel's serial driver has
    // claimed (vendor 0x091e); empty when there is none.
    static QString receiverTty();
};

} // namespace trekora::gps
