#include "gps/SerialPorts.h"

#include "core/Settings.h"

#include <QSerialPort>
#include <QSerialPortInfo>
#include <algorithm>

namespace trekora::gps {

namespace {
int familyRank(const QString& name) {
    if (name.contains(QLatin1String("ttyUSB")))
        return 0;
    if (name.contains(QLatin1String("ttyACM")))
        return 1;
    if (name.contains(QLatin1String("ttyS")))
        return 2;
    return 3;
}
} // namespace

QStringList SerialPorts::systemDevices() {
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.append(info.systemLocation());
    std::sort(devices.begin(), devices.end(), [](const QString& a, const QString& b) {
        const int ra = familyRank(a), rb = familyRank(b);
        if (ra != rb)
            return ra < rb;
        if (a.size() != b.size())
            return a.size() < b.size(); // ttyS2 before ttyS10
        return a < b;
    });
    return devices;
}

QString SerialPorts::devicePath(int port) {
    if (port < 1 || port > kMaxPort)
        return {};
    const QString key = QStringLiteral("device%1").arg(port);
    const QString configured = Settings::get(QStringLiteral("port"), key).trimmed();
    if (!configured.isEmpty())
        return configured;
    const QStringList devices = systemDevices();
    return port <= devices.size() ? devices[port - 1] : QString();
}

QString SerialPorts::receiverTty() {
    constexpr quint16 kReceiverVendor = 0x091e;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.hasVendorIdentifier() && info.vendorIdentifier() == kReceiverVendor)
            return info.systemLocation();
    }
    return {};
}

bool SerialPorts::exists(int port) {
    const QString path = devicePath(port);
    if (path.isEmpty())
        return false;
    QSerialPort probe;
    probe.setPortName(path);
    if (!probe.open(QIODevice::ReadWrite))
        return false;
    probe.close();
    return true;
}

} // namespace trekora::gps
