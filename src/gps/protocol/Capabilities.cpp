#include "gps/protocol/Capabilities.h"

#include "gps/protocol/ByteIO.h"

#include <QRegularExpression>

namespace trekora::gps {

namespace {

QString entryName(char tag, int number) {
    return QStringLiteral("%1%2").arg(QLatin1Char(tag)).arg(number, 3, 10, QLatin1Char('0'));
}

// Assigns the data types that follow an application protocol entry.
void assignTypes(Capabilities& c, const QString& protocol, const QStringList& types) {
    auto type = [&](int i) { return i < types.size() ? types[i] : QString(); };
    const int number = protocol.mid(1).toInt();
    switch (number) {
    case 100:
        c.waypointProtocol = protocol;
        c.waypointType = type(0);
        break;
    case 200:
    case 201:
        c.routeProtocol = protocol;
        c.routeHeaderType = type(0);
        c.routeWaypointType = type(1);
        c.routeLinkType = number == 201 ? type(2) : QString();
        break;
    case 300:
        c.trackProtocol = protocol;
        c.trackHeaderType.clear();
        c.trackPointType = type(0);
        break;
    case 301:
    case 302:
        c.trackProtocol = protocol;
        c.trackHeaderType = type(0);
        c.trackPointType = type(1);
        break;
    case 400:
        c.proximityProtocol = protocol;
        c.proximityWaypointType = type(0);
        break;
    case 500:
        c.almanacProtocol = protocol;
        c.almanacType = type(0);
        break;
    case 600:
        c.dateTimeProtocol = protocol;
        c.dateTimeType = type(0);
        break;
    case 700:
        c.positionProtocol = protocol;
        c.positionType = type(0);
        break;
    case 800:
        c.pvtProtocol = protocol;
        c.pvtType = type(0);
        break;
    case 10:
    case 11:
        c.commandProtocol = protocol;
        break;
    default:
        break; // protocols this program does not use
    }
}

} // namespace

Capabilities Capabilities::fromEntries(const QStringList& entries) {
    Capabilities c;
    c.entries = entries;
    QString protocol;
    QStringList types;
    auto flush = [&] {
        if (!protocol.isEmpty())
            assignTypes(c, protocol, types);
        protocol.clear();
        types.clear();
    };
    for (const QString& e : entries) {
        const QChar tag = e[0];
        if (tag == QLatin1Char('A')) {
            flush();
            protocol = e;
        } else if (tag == QLatin1Char('D')) {
            if (!protocol.isEmpty())
                types.append(e);
        } else {
            flush();
            if (tag == QLatin1Char('L') && c.linkProtocol.isEmpty())
                c.linkProtocol = e;
        }
    }
    flush();
    return c;
}

Capabilities Capabilities::fromProtocolArray(QByteArrayView data) {
    QStringList entries;
    ByteReader r(data);
    while (r.remaining() >= 3) {
        const char tag = static_cast<char>(r.u8());
        const int number = r.u16();
        if (tag == 'P' || tag == 'L' || tag == 'A' || tag == 'D')
            entries.append(entryName(tag, number));
        else if (tag >= 0x20 && tag < 0x7F)
            entries.append(entryName(tag, number)); // kept, but never a protocol
    }
    return fromEntries(entries);
}

Capabilities Capabilities::fromText(const QString& text) {
    static const QRegularExpression entry(QStringLiteral("^[PLADplad][0-9]{1,5}$"));
    QStringList entries;
    for (const QString& word :
         text.split(QRegularExpression(QStringLiteral("[\\s,]+")), Qt::SkipEmptyParts)) {
        if (entry.match(word).hasMatch())
            entries.append(entryName(word[0].toUpper().toLatin1(), word.mid(1).toInt()));
    }
    return fromEntries(entries);
}

Capabilities Capabilities::classicDefaults() {
    return fromText(QStringLiteral("P000 L001 A010 A100 D100 A200 D200 D100 A300 D300 A600 D600 "
                                   "A700 D700"));
}

QByteArray Capabilities::toProtocolArray() const {
    QByteArray out;
    ByteWriter w(out);
    for (const QString& e : entries) {
        w.u8(static_cast<std::uint8_t>(e[0].toLatin1()));
        w.u16(static_cast<std::uint16_t>(e.mid(1).toInt()));
    }
    return out;
}

} // namespace trekora::gps
