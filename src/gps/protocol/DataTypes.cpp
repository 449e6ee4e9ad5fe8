#include "gps/protocol/DataTypes.h"

#include "gps/protocol/ByteIO.h"

#include <QList>
#include <algorithm>
#include <cmath>

namespace trekora::gps {

namespace {

constexpr int kMaxPacketData = 255;
constexpr double kRadiansToDegrees = 180.0 / M_PI;

// The usual subclass of a user waypoint: six zero bytes, then twelve 0xFF.
QByteArray defaultSubclass() {
    QByteArray b(6, '\0');
    b.append(QByteArray(12, char(0xFF)));
    return b;
}

QByteArray subclassBytes(const QString& hex) {
    const QByteArray bytes = QByteArray::fromHex(hex.toLatin1());
    if (hex.isEmpty() || bytes.size() != 18)
        return defaultSubclass();
    return bytes;
}

QString subclassText(const QByteArray& bytes) {
    if (bytes == defaultSubclass())
        return {};
    return QString::fromLatin1(bytes.toHex().toUpper());
}

// The six strings that close D108 to D110, cut so that the packet fits.
void writeWaypointStrings(ByteWriter& w, const WaypointRecord& r, qsizetype fixedSize) {
    QList<QByteArray> s = {r.ident.toLatin1().left(51),    r.comment.toLatin1().left(51),
                           r.facility.toLatin1().left(31), r.city.toLatin1().left(25),
                           r.address.toLatin1().left(51),  r.crossroad.toLatin1().left(51)};
    auto total = [&] {
        qsizetype n = fixedSize;
        for (const auto& x : s)
            n += x.size() + 1;
        return n;
    };
    // Shorten the longest strings (never the ident first) until it fits.
    while (total() > kMaxPacketData) {
        auto longest = std::max_element(s.begin() + 1, s.end(), [](const auto& a, const auto& b) {
            return a.size() < b.size();
        });
        longest->chop(std::min<qsizetype>(longest->size(), total() - kMaxPacketData));
    }
    for (const auto& x : s)
        w.cstr(QString::fromLatin1(x), 255);
}

void readWaypointStrings(ByteReader& r, WaypointRecord& w) {
    w.ident = r.cstr();
    w.comment = r.cstr();
    w.facility = r.cstr();
    w.city = r.cstr();
    w.address = r.cstr();
    w.crossroad = r.cstr();
}

void writeD100Base(ByteWriter& w, const WaypointRecord& r) {
    w.fixed(r.ident, 6);
    w.i32(degreesToSemicircles(r.latitude));
    w.i32(degreesToSemicircles(r.longitude));
    w.u32(static_cast<std::uint32_t>(r.unused1));
    w.fixed(r.comment, 40);
}

void readD100Base(ByteReader& r, WaypointRecord& w) {
    w.ident = r.fixed(6);
    w.latitude = semicirclesToDegrees(r.i32());
    w.longitude = semicirclesToDegrees(r.i32());
    w.unused1 = static_cast<std::int32_t>(r.u32());
    w.comment = r.fixed(40);
}

void writePosition(ByteWriter& w, double lat, double lon) {
    w.i32(degreesToSemicircles(lat));
    w.i32(degreesToSemicircles(lon));
}

void writeD108Core(ByteWriter& w, const WaypointRecord& r) {
    w.raw(subclassBytes(r.sub_class));
    writePosition(w, r.latitude, r.longitude);
    w.f32(r.altitude);
    w.f32(r.depth);
    w.f32(r.dist);
    w.fixed(r.state, 2);
    w.fixed(r.country, 2);
}

void readD108Core(ByteReader& r, WaypointRecord& w) {
    w.sub_class = subclassText(r.raw(18));
    w.latitude = semicirclesToDegrees(r.i32());
    w.longitude = semicirclesToDegrees(r.i32());
    w.altitude = r.f32();
    w.depth = r.f32();
    w.dist = r.f32();
    w.state = r.fixed(2);
    w.country = r.fixed(2);
}

std::uint8_t attribute(const WaypointRecord& r, std::uint8_t usual) {
    return r.attrib ? static_cast<std::uint8_t>(r.attrib) : usual;
}

} // namespace

int dataTypeNumber(const QString& type) {
    const QString t = type.trimmed();
    if (t.size() < 2 || (t[0] != QLatin1Char('D') && t[0] != QLatin1Char('d')))
        return 0;
    bool ok = false;
    const int n = t.mid(1).toInt(&ok);
    return ok && n >= 0 ? n : 0;
}

bool isWaypointType(int type) {
    switch (type) {
    case 100:
    case 101:
    case 102:
    case 103:
    case 104:
    case 107:
    case 108:
    case 109:
    case 110:
    case 400:
    case 403:
        return true;
    default:
        return false;
    }
}

std::optional<QByteArray> encodeWaypoint(int type, const WaypointRecord& r) {
    QByteArray out;
    ByteWriter w(out);
    switch (type) {
    case 100:
        writeD100Base(w, r);
        break;
    case 101: // D100, dist, symbol u8
        writeD100Base(w, r);
        w.f32(r.dist);
        w.u8(static_cast<std::uint8_t>(r.symbol));
        break;
    case 102: // D100, dist, symbol u16
        writeD100Base(w, r);
        w.f32(r.dist);
        w.u16(static_cast<std::uint16_t>(r.symbol));
        break;
    case 103:
        writeD100Base(w, r);
        w.u8(static_cast<std::uint8_t>(r.symbol));
        w.u8(static_cast<std::uint8_t>(r.display));
        break;
    case 104:
        writeD100Base(w, r);
        w.f32(r.dist);
        w.u16(static_cast<std::uint16_t>(r.symbol));
        w.u8(static_cast<std::uint8_t>(r.display));
        break;
    case 107:
        writeD100Base(w, r);
        w.u8(static_cast<std::uint8_t>(r.symbol));
        w.u8(static_cast<std::uint8_t>(r.display));
        w.f32(r.dist);
        w.u8(static_cast<std::uint8_t>(r.color));
        break;
    case 400: // proximity waypoint: D100 + dist
        writeD100Base(w, r);
        w.f32(r.dist);
        break;
    case 403: // proximity waypoint: D103 + dist
        writeD100Base(w, r);
        w.u8(static_cast<std::uint8_t>(r.symbol));
        w.u8(static_cast<std::uint8_t>(r.display));
        w.f32(r.dist);
        break;
    case 108:
        w.u8(static_cast<std::uint8_t>(r.wpt_class));
        w.u8(static_cast<std::uint8_t>(r.color));
        w.u8(static_cast<std::uint8_t>(r.display));
        w.u8(attribute(r, 0x60));
        w.u16(static_cast<std::uint16_t>(r.symbol));
        writeD108Core(w, r);
        writeWaypointStrings(w, r, out.size());
        break;
    case 109:
    case 110:
        w.u8(r.dtype ? static_cast<std::uint8_t>(r.dtype) : 0x01);
        w.u8(static_cast<std::uint8_t>(r.wpt_class));
        w.u8(static_cast<std::uint8_t>((r.color & 0x1F) | ((r.display & 0x03) << 5)));
        w.u8(attribute(r, type == 109 ? 0x70 : 0x80));
        w.u16(static_cast<std::uint16_t>(r.symbol));
        writeD108Core(w, r);
        w.u32(static_cast<std::uint32_t>(r.ete));
        if (type == 110) {
            w.f32(r.temperature);
            w.u32(r.time);
            w.u16(r.category);
        }
        writeWaypointStrings(w, r, out.size());
        break;
    default:
        return std::nullopt;
    }
    return out;
}

bool decodeWaypoint(int type, QByteArrayView data, WaypointRecord& record) {
    if (!isWaypointType(type))
        return false;
    WaypointRecord w;
    ByteReader r(data);
    switch (type) {
    case 108:
        w.wpt_class = r.u8();
        w.color = r.u8();
        w.display = r.u8();
        w.attrib = r.u8();
        w.symbol = static_cast<std::int16_t>(r.u16());
        readD108Core(r, w);
        readWaypointStrings(r, w);
        break;
    case 109:
    case 110: {
        w.dtype = r.u8();
        w.wpt_class = r.u8();
        const std::uint8_t displayColor = r.u8();
        w.color = displayColor & 0x1F;
        w.display = (displayColor >> 5) & 0x03;
        w.attrib = r.u8();
        w.symbol = static_cast<std::int16_t>(r.u16());
        readD108Core(r, w);
        w.ete = static_cast<std::int32_t>(r.u32());
        if (type == 110) {
            w.temperature = r.f32();
            w.time = r.u32();
            w.category = r.u16();
        }
        readWaypointStrings(r, w);
        break;
    }
    default:
        readD100Base(r, w);
        if (type == 101) {
            w.dist = r.f32();
            w.symbol = r.u8();
        } else if (type == 102) {
            w.dist = r.f32();
            w.symbol = static_cast<std::int16_t>(r.u16());
        } else if (type == 103 || type == 403) {
            w.symbol = r.u8();
            w.display = r.u8();
            if (type == 403)
                w.dist = r.f32();
        } else if (type == 104) {
            w.dist = r.f32();
            w.symbol = static_cast<std::int16_t>(r.u16());
            w.display = r.u8();
        } else if (type == 107) {
            w.symbol = r.u8();
            w.display = r.u8();
            w.dist = r.f32();
            w.color = r.u8();
        } else if (type == 400) {
            w.dist = r.f32();
        }
        break;
    }
    if (r.failed())
        return false;
    record = w;
    return true;
}

bool isRouteHeaderType(int type) {
    return type == 200 || type == 201 || type == 202;
}

std::optional<QByteArray> encodeRouteHeader(int type, const RouteRecord& r) {
    QByteArray out;
    ByteWriter w(out);
    switch (type) {
    case 200:
        w.u8(static_cast<std::uint8_t>(r.route_number));
        break;
    case 201:
        w.u8(static_cast<std::uint8_t>(r.route_number));
        w.fixed(r.route_comment, 20);
        break;
    case 202:
        w.cstr(r.route_ident, 51);
        break;
    default:
        return std::nullopt;
    }
    return out;
}

bool decodeRouteHeader(int type, QByteArrayView data, RouteRecord& record) {
    if (!isRouteHeaderType(type))
        return false;
    ByteReader r(data);
    RouteRecord out = record;
    out.route_number = 0;
    out.route_ident.clear();
    out.route_comment.clear();
    if (type == 200 || type == 201)
        out.route_number = r.u8();
    if (type == 201)
        out.route_comment = r.fixed(20);
    if (type == 202) {
        if (data.isEmpty())
            return false;
        out.route_ident = r.cstr();
    }
    if (r.failed())
        return false;
    record = out;
    return true;
}

bool isRouteLinkType(int type) {
    return type == 210;
}

std::optional<QByteArray> encodeRouteLink(int type, const RouteRecord& r) {
    if (type != 210)
        return std::nullopt;
    QByteArray out;
    ByteWriter w(out);
    w.u16(static_cast<std::uint16_t>(r.link_class));
    w.raw(subclassBytes(r.link_subclass));
    w.cstr(r.link_ident, 51);
    return out;
}

bool decodeRouteLink(int type, QByteArrayView data, RouteRecord& record) {
    if (type != 210)
        return false;
    ByteReader r(data);
    const auto linkClass = static_cast<std::int16_t>(r.u16());
    const QString subclass = subclassText(r.raw(18));
    const QString ident = r.cstr();
    if (r.failed())
        return false;
    record.link_class = linkClass;
    record.link_subclass = subclass;
    record.link_ident = ident;
    return true;
}

bool isTrackHeaderType(int type) {
    return type == 310 || type == 311 || type == 312;
}

std::optional<QByteArray> encodeTrackHeader(int type, const TrackRecord& t) {
    QByteArray out;
    ByteWriter w(out);
    switch (type) {
    case 310:
    case 312:
        w.u8(t.display ? 1 : 0);
        w.u8(t.color);
        w.cstr(t.ident, 51);
        break;
    case 311: {
        bool ok = false;
        const uint index = t.ident.trimmed().toUInt(&ok);
        w.u16(ok ? static_cast<std::uint16_t>(index) : 0);
        break;
    }
    default:
        return std::nullopt;
    }
    return out;
}

bool decodeTrackHeader(int type, QByteArrayView data, TrackRecord& record) {
    if (!isTrackHeaderType(type))
        return false;
    ByteReader r(data);
    bool display = true;
    std::uint8_t color = 0;
    QString ident;
    if (type == 311) {
        ident = QString::number(r.u16());
    } else {
        display = r.u8() != 0;
        color = r.u8();
        ident = r.cstr();
    }
    if (r.failed())
        return false;
    record.display = display;
    record.color = color;
    record.ident = ident;
    return true;
}

bool isTrackPointType(int type) {
    return type == 300 || type == 301 || type == 302;
}

std::optional<QByteArray> encodeTrackPoint(int type, const TrackRecord& t) {
    if (!isTrackPointType(type))
        return std::nullopt;
    QByteArray out;
    ByteWriter w(out);
    writePosition(w, t.latitude, t.longitude);
    w.u32(trackTimeValue(t.time));
    if (type >= 301) {
        w.f32(t.altitude);
        w.f32(t.depth);
    }
    if (type == 302)
        w.f32(t.temperature);
    w.u8(t.new_segment ? 1 : 0);
    return out;
}

bool decodeTrackPoint(int type, QByteArrayView data, TrackRecord& record) {
    if (!isTrackPointType(type))
        return false;
    ByteReader r(data);
    TrackRecord t = record;
    t.latitude = semicirclesToDegrees(r.i32());
    t.longitude = semicirclesToDegrees(r.i32());
    t.time = trackTimeText(r.u32());
    t.altitude = kNoValue;
    t.depth = kNoValue;
    t.temperature = kNoValue;
    if (type >= 301) {
        t.altitude = r.f32();
        t.depth = r.f32();
    }
    if (type == 302)
        t.temperature = r.f32();
    t.new_segment = r.u8() != 0;
    if (r.failed())
        return false;
    record = t;
    return true;
}

std::optional<QByteArray> encodeDateTime(int type, const DateTimeRecord& d) {
    if (type != 600)
        return std::nullopt;
    QByteArray out;
    ByteWriter w(out);
    w.u8(d.month);
    w.u8(d.day);
    w.u16(static_cast<std::uint16_t>(d.year));
    w.u16(static_cast<std::uint16_t>(d.hour));
    w.u8(d.minute);
    w.u8(d.second);
    return out;
}

bool decodeDateTime(int type, QByteArrayView data, DateTimeRecord& record) {
    if (type != 600)
        return false;
    ByteReader r(data);
    DateTimeRecord d;
    d.month = r.u8();
    d.day = r.u8();
    d.year = static_cast<std::int16_t>(r.u16());
    d.hour = static_cast<std::int16_t>(r.u16());
    d.minute = r.u8();
    d.second = r.u8();
    if (r.failed())
        return false;
    record = d;
    return true;
}

std::optional<QByteArray> encodePosition(int type, const PositionRecord& p) {
    if (type != 700)
        return std::nullopt;
    QByteArray out;
    ByteWriter w(out);
    w.f64(p.latitude / kRadiansToDegrees);
    w.f64(p.longitude / kRadiansToDegrees);
    return out;
}

bool decodePosition(int type, QByteArrayView data, PositionRecord& record) {
    if (type != 700)
        return false;
    ByteReader r(data);
    PositionRecord p;
    p.latitude = r.f64() * kRadiansToDegrees;
    p.longitude = r.f64() * kRadiansToDegrees;
    if (r.failed())
        return false;
    record = p;
    return true;
}

std::optional<QByteArray> encodePvt(int type, const PvtRecord& p) {
    if (type != 800)
        return std::nullopt;
    QByteArray out;
    ByteWriter w(out);
    w.f32(p.alt);
    w.f32(p.epe);
    w.f32(p.eph);
    w.f32(p.epv);
    w.u16(static_cast<std::uint16_t>(p.fix));
    w.f64(p.tow);
    w.f64(p.latitude / kRadiansToDegrees);
    w.f64(p.longitude / kRadiansToDegrees);
    w.f32(p.east);
    w.f32(p.north);
    w.f32(p.up);
    w.f32(p.msl_hght);
    w.i16(p.leap_scnds);
    w.u32(p.wn_days);
    return out;
}

bool decodePvt(int type, QByteArrayView data, PvtRecord& record) {
    if (type != 800)
        return false;
    ByteReader r(data);
    PvtRecord p;
    p.alt = r.f32();
    p.epe = r.f32();
    p.eph = r.f32();
    p.epv = r.f32();
    p.fix = static_cast<std::int16_t>(r.u16());
    p.tow = r.f64();
    p.latitude = r.f64() * kRadiansToDegrees;
    p.longitude = r.f64() * kRadiansToDegrees;
    p.east = r.f32();
    p.north = r.f32();
    p.up = r.f32();
    p.msl_hght = r.f32();
    p.leap_scnds = r.i16();
    p.wn_days = r.u32();
    if (r.failed())
        return false;
    record = p;
    return true;
}

QByteArray encodeProduct(const ProductRecord& p) {
    QByteArray out;
    ByteWriter w(out);
    w.u16(static_cast<std::uint16_t>(p.product_id));
    w.i16(p.software_version);
    w.cstr(p.description1, 120);
    if (!p.description2.isEmpty())
        w.cstr(p.description2, 120);
    return out;
}

bool decodeProduct(QByteArrayView data, ProductRecord& record) {
    ByteReader r(data);
    ProductRecord p;
    p.product_id = static_cast<std::int16_t>(r.u16());
    p.software_version = r.i16();
    if (r.failed())
        return false;
    p.description1 = r.cstr();
    if (r.remaining() > 0)
        p.description2 = r.cstr();
    record = p;
    return true;
}

QString trackTimeText(std::uint32_t garminSeconds) {
    if (garminSeconds == 0xFFFFFFFF)
        return {};
    return QString::number(garminSeconds);
}

std::uint32_t trackTimeValue(const QString& text) {
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v) || v < 0 || v >= 4294967295.0)
        return 0xFFFFFFFF;
    return static_cast<std::uint32_t>(std::llround(v));
}

} // namespace trekora::gps
