#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

namespace trekora::gps {

// What a receiver supports, from its A001 protocol array: protocol names
// such as "A100" and the data types that go with them, such as "D108".
// Empty text means not supported.
struct Capabilities {
    QString linkProtocol;
    QString commandProtocol;
    QString waypointProtocol, waypointType;
    QString routeProtocol, routeHeaderType, routeWaypointType, routeLinkType;
    QString trackProtocol, trackHeaderType, trackPointType;
    QString proximityProtocol, proximityWaypointType;
    QString almanacProtocol, almanacType;
    QString dateTimeProtocol, dateTimeType;
    QString positionProtocol, positionType;
    QString pvtProtocol, pvtType;
    // Every entry of the array in order, e.g. "P000", "L001", "A010", ...
    QStringList entries;

    // Reads the protocol array; trailing bytes that do not make a whole entry
    // are ignored.
    static Capabilities fromProtocolArray(QByteArrayView data);
    // Reads entries written as text: "P000 L001 A010 A100 D108 ...".
    static Capabilities fromText(const QString& text);
    // Units without a protocol array: the oldest protocols (A100 with D100 ...).
    static Capabilities classicDefaults();

    QByteArray toProtocolArray() const;
    bool operator==(const Capabilities&) const = default;

private:
    static Capabilities fromEntries(const QStringList& entries);
};

} // namespace trekora::gps
