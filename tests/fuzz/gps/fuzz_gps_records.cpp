// The receiver's data types, protocol arrays and screen image packets, read
// from arbitrary bytes. The first byte picks the reader.
#include "gps/protocol/Capabilities.h"
#include "gps/protocol/DataTypes.h"
#include "gps/protocol/ScreenImage.h"

#include <cstddef>
#include <cstdint>

using namespace trekora;
using namespace trekora::gps;

namespace {
constexpr int kWaypointTypes[] = {100, 101, 102, 103, 104, 107, 108, 109, 110, 400, 403};
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1)
        return 0;
    const QByteArrayView body(reinterpret_cast<const char*>(data + 1),
                              static_cast<qsizetype>(size - 1));
    const std::uint8_t pick = data[0];
    switch (pick % 12) {
    case 0: {
        WaypointRecord w;
        const int type = kWaypointTypes[(pick / 12) % 11];
        if (decodeWaypoint(type, body, w)) {
            // What was read can be written again and fits one packet.
            const auto again = encodeWaypoint(type, w);
            if (!again || again->size() > 255)
                __builtin_trap();
        }
        break;
    }
    case 1: {
        RouteRecord r;
        decodeRouteHeader(200 + (pick / 12) % 3, body, r);
        decodeRouteLink(210, body, r);
        break;
    }
    case 2: {
        TrackRecord t;
        decodeTrackHeader(310 + (pick / 12) % 3, body, t);
        decodeTrackPoint(300 + (pick / 12) % 3, body, t);
        break;
    }
    case 3: {
        PvtRecord p;
        decodePvt(800, body, p);
        PositionRecord pos;
        decodePosition(700, body, pos);
        DateTimeRecord d;
        decodeDateTime(600, body, d);
        break;
    }
    case 4: {
        ProductRecord p;
        decodeProduct(body, p);
        break;
    }
    case 5: {
        const Capabilities c = Capabilities::fromProtocolArray(body);
        Capabilities::fromText(QString::fromLatin1(body));
        if (Capabilities::fromProtocolArray(c.toProtocolArray()) != c)
            __builtin_trap();
        break;
    }
    default: {
        // A screen image from a sequence of packets: 2-byte length prefixes.
        ScreenImageAssembler screen;
        qsizetype pos = 0;
        while (pos + 2 <= body.size()) {
            const auto len =
                static_cast<qsizetype>(static_cast<std::uint8_t>(body[pos])) |
                (static_cast<qsizetype>(static_cast<std::uint8_t>(body[pos + 1])) << 8);
            pos += 2;
            const qsizetype take = std::min(len, body.size() - pos);
            screen.add(body.sliced(pos, take));
            pos += take;
        }
        if (screen.percent() < 0 || screen.percent() > 100)
            __builtin_trap();
        if (screen.started())
            screen.image();
        break;
    }
    }
    return 0;
}
