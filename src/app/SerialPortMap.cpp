#include "app/SerialPortMap.h"

#include "core/Settings.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>

namespace trekora::SerialPortMap {

namespace {
int familyRank(const QString& name) {
    if (name.startsWith(QLatin1String("ttyUSB")))
        return 0;
    if (name.startsWith(QLatin1String("ttyACM")))
        return 1;
    if (name.startsWith(QLatin1String("ttyS")))
        return 2;
    return 3;
}
} // namespace

QStringList systemDevices() {
    QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    std::sort(ports.begin(), ports.end(), [](const QSerialPortInfo& a, const QSerialPortInfo& b) {
        const int ra = familyRank(a.portName()), rb = familyRank(b.portName());
        if (ra != rb)
            return ra < rb;
        return a.portName() < b.portName();
    });
    QStringList devices;
    for (const QSerialPortInfo& port : ports)
        devices << port.systemLocation();
    return devices;
}

QString devicePath(int port, const QStringList& systemDevices) {
    if (port < 1 || port > kPortCount)
        return {};
    const QString overridden = Settings::get("port", QStringLiteral("device%1").arg(port));
    if (!overridden.isEmpty())
        return overridden;
    return port <= systemDevices.size() ? systemDevices.at(port - 1) : QString();
}

QString devicePath(int port) {
    return devicePath(port, systemDevices());
}

bool deviceUsable(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isReadable() && info.isWritable();
}

bool portUsable(int port) {
    return deviceUsable(devicePath(port));
}

} // namespace trekora::SerialPortMap
