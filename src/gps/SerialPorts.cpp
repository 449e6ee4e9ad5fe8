#include "gps/SerialPorts.h"

#include "core/Settings.h"

#include <QFileInfo>
#include <QSerialPortInfo>
#include <algorithm>
#include <tuple>

namespace trekora::gps {

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

// A device name split into its family and its trailing number, so that
// names sort as people count: ttyS2 before ttyS10.
struct PortKey {
    int rank;
    QString stem;
    qulonglong number;
    QString name;

    explicit PortKey(const QString& path) {
        name = QFileInfo(path).fileName();
        rank = familyRank(name);
        qsizetype digits = name.size();
        while (digits > 0 && name.at(digits - 1).isDigit())
            --digits;
        stem = name.left(digits);
        bool ok = false;
        number = name.mid(digits).toULongLong(&ok);
        if (!ok)
            number = 0;
    }
    bool operator<(const PortKey& other) const {
        return std::tie(rank, stem, number, name) <
               std::tie(other.rank, other.stem, other.number, other.name);
    }
};

} // namespace

QStringList SerialPorts::inPortOrder(QStringList devices) {
    std::stable_sort(devices.begin(), devices.end(),
                     [](const QString& a, const QString& b) { return PortKey(a) < PortKey(b); });
    return devices;
}

QStringList SerialPorts::systemDevices() {
    QStringList devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.append(info.systemLocation());
    return inPortOrder(std::move(devices));
}

QString SerialPorts::devicePath(int port, const QStringList& systemDevices) {
    if (port < 1 || port > kMaxPort)
        return {};
    const QString key = QStringLiteral("device%1").arg(port);
    const QString configured = Settings::get(QStringLiteral("port"), key).trimmed();
    if (!configured.isEmpty())
        return configured;
    return port <= systemDevices.size() ? systemDevices.at(port - 1) : QString();
}

QString SerialPorts::devicePath(int port) {
    return devicePath(port, systemDevices());
}

bool SerialPorts::deviceUsable(const QString& path) {
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && info.isReadable() && info.isWritable();
}

bool SerialPorts::portUsable(int port) {
    return deviceUsable(devicePath(port));
}

QString SerialPorts::receiverTty() {
    constexpr quint16 kReceiverVendor = 0x091e;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        if (info.hasVendorIdentifier() && info.vendorIdentifier() == kReceiverVendor)
            return info.systemLocation();
    }
    return {};
}

} // namespace trekora::gps
