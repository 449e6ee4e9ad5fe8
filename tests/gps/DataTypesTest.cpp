#include "gps/protocol/DataTypes.h"
#include "gps/protocol/ByteIO.h"
#include "gps/protocol/Capabilities.h"
#include "gps/protocol/ScreenImage.h"

#include <gtest/gtest.h>

using namespace trekora;
using namespace trekora::gps;

namespace {

// Degrees that semicircles hold exactly, so positions compare equal.
double exactDegrees(double degrees) {
    return semicirclesToDegrees(degreesToSemicircles(degrees));
}

QString text(int length, char first) {
    QString s;
    for (int i = 0; i < length; ++i)
        s.append(QLatin1Char(static_cast<char>(first + i % 26)));
    return s;
}

// What each waypoint type carries.
struct WaypointCase {
    int type;
    int identLimit;
    int commentLimit;
    bool symbol, display, dist, color, altitude, extended;
};

const WaypointCase kWaypointCases[] = {
    {100, 6, 40, false, false, false, false, false, false},
    {101, 6, 40, true, false, true, false, false, false},
    {102, 6, 40, true, false, true, false, false, false},
    {103, 6, 40, true, true, false, false, false, false},
    {104, 6, 40, true, true, true, false, false, false},
    {107, 6, 40, true, true, true, true, false, false},
    {108, 51, 51, true, true, true, true, true, true},
    {109, 51, 51, true, true, true, true, true, true},
    {110, 51, 51, true, true, true, true, true, true},
    {400, 6, 40, false, false, true, false, false, false},
    {403, 6, 40, true, true, true, false, false, false},
};

WaypointRecord fullWaypoint(const WaypointCase& c) {
    WaypointRecord w;
    w.ident = text(c.identLimit, 'A');
    w.comment = text(c.commentLimit, 'a');
    w.latitude = exactDegrees(-33.8567844);
    w.longitude = exactDegrees(151.2152967);
    w.symbol = 11;
    w.display = 2;
    w.dist = 125.5f;
    w.color = 5;
    w.altitude = kNoValue; // "no value" survives
    w.depth = 12.25f;
    w.unused1 = 0;
    if (c.extended) {
        w.facility = QStringLiteral("OPERA");
        w.city = QStringLiteral("SYDNEY");
        w.address = QStringLiteral("BENNELONG POINT");
        w.crossroad = QStringLiteral("MACQUARIE ST");
        w.state = QStringLiteral("NS");
        w.country = QStringLiteral("AU");
        w.wpt_class = 0;
        w.attrib = c.type == 108 ? 0x60 : c.type == 109 ? 0x70 : 0x80;
        w.sub_class = QStringLiteral("0102030405060708090A0B0C0D0E0F101112");
        if (c.type != 108) {
            w.dtype = 1;
            w.ete = 3600;
        }
        if (c.type == 110) {
            w.temperature = 21.5f;
            w.time = 500000000u;
            w.category = 3;
        }
    }
    return w;
}

// The record as the type can carry it: other fields keep their defaults.
WaypointRecord carried(const WaypointCase& c, const WaypointRecord& w) {
    WaypointRecord e = c.extended ? w : WaypointRecord{};
    e.ident = w.ident.left(c.identLimit);
    e.comment = w.comment.left(c.commentLimit);
    e.latitude = w.latitude;
    e.longitude = w.longitude;
    if (c.extended)
        return e;
    if (c.symbol)
        e.symbol = w.symbol;
    if (c.display)
        e.display = w.display;
    if (c.dist)
        e.dist = w.dist;
    if (c.color)
        e.color = w.color;
    return e;
}

} // namespace

TEST(DataTypes, EveryWaypointTypeEncodesAndDecodesToTheSameRecord) {
    for (const WaypointCase& c : kWaypointCases) {
        SCOPED_TRACE(c.type);
        const WaypointRecord w = fullWaypoint(c);
        const auto bytes = encodeWaypoint(c.type, w);
        ASSERT_TRUE(bytes.has_value());
        EXPECT_LE(bytes->size(), 255);
        WaypointRecord back;
        ASSERT_TRUE(decodeWaypoint(c.type, *bytes, back));
        EXPECT_EQ(back, carried(c, w));
        // Longer strings are cut at the type's limit, not spilled.
        WaypointRecord longer = w;
        longer.ident += QStringLiteral("XYZ");
        longer.comment += QStringLiteral("xyz");
        ASSERT_TRUE(decodeWaypoint(c.type, *encodeWaypoint(c.type, longer), back));
        EXPECT_EQ(back.ident, w.ident);
        if (!c.extended) {
            EXPECT_EQ(back.comment, w.comment);
        }
        // Short data is an error, not a half-filled record.
        WaypointRecord untouched;
        untouched.ident = QStringLiteral("KEEP");
        EXPECT_FALSE(decodeWaypoint(c.type, bytes->left(c.extended ? 40 : 20), untouched));
        EXPECT_EQ(untouched.ident, QStringLiteral("KEEP"));
    }
}

TEST(DataTypes, VariableStringsAreShortenedToFitOnePacket) {
    WaypointRecord w;
    w.ident = text(51, 'A');
    w.comment = text(51, 'a');
    w.facility = text(31, 'f');
    w.city = text(25, 'c');
    w.address = text(51, 'd');
    w.crossroad = text(51, 'x');
    for (int type : {108, 109, 110}) {
        const auto bytes = encodeWaypoint(type, w);
        ASSERT_TRUE(bytes);
        EXPECT_EQ(bytes->size(), 255);
        WaypointRecord back;
        ASSERT_TRUE(decodeWaypoint(type, *bytes, back));
        EXPECT_EQ(back.ident, w.ident) << "the ident is never shortened";
        EXPECT_TRUE(w.address.startsWith(back.address));
    }
}

TEST(DataTypes, RouteTrackAndOtherTypesRoundTrip) {
    RouteRecord route;
    route.route_number = 17;
    route.route_comment = text(20, 'R');
    route.route_ident = text(51, 'r');
    route.link_class = 3;
    route.link_subclass = QString();
    route.link_ident = QStringLiteral("LINK");
    struct RouteCase {
        int type;
        bool number, comment, ident;
    };
    for (const RouteCase& c :
         {RouteCase{200, true, false, false}, RouteCase{201, true, true, false},
          RouteCase{202, false, false, true}}) {
        RouteRecord back;
        ASSERT_TRUE(decodeRouteHeader(c.type, *encodeRouteHeader(c.type, route), back)) << c.type;
        EXPECT_EQ(back.route_number, c.number ? 17 : 0);
        EXPECT_EQ(back.route_comment, c.comment ? route.route_comment : QString());
        EXPECT_EQ(back.route_ident, c.ident ? route.route_ident : QString());
    }
    RouteRecord link;
    ASSERT_TRUE(decodeRouteLink(210, *encodeRouteLink(210, route), link));
    EXPECT_EQ(link.link_class, 3);
    EXPECT_EQ(link.link_ident, QStringLiteral("LINK"));

    TrackRecord point;
    point.latitude = exactDegrees(46.5);
    point.longitude = exactDegrees(-0.25);
    point.time = QStringLiteral("1000000000");
    point.altitude = 287.3f;
    point.depth = kNoValue;
    point.temperature = -4.5f;
    point.new_segment = true;
    for (int type : {300, 301, 302}) {
        TrackRecord back;
        ASSERT_TRUE(decodeTrackPoint(type, *encodeTrackPoint(type, point), back)) << type;
        EXPECT_EQ(back.latitude, point.latitude);
        EXPECT_EQ(back.longitude, point.longitude);
        EXPECT_EQ(back.time, point.time);
        EXPECT_TRUE(back.new_segment);
        EXPECT_EQ(back.altitude, type >= 301 ? 287.3f : kNoValue);
        EXPECT_EQ(back.depth, kNoValue);
        EXPECT_EQ(back.temperature, type == 302 ? -4.5f : kNoValue);
    }
    TrackRecord noTime = point;
    noTime.time.clear();
    TrackRecord back;
    ASSERT_TRUE(decodeTrackPoint(301, *encodeTrackPoint(301, noTime), back));
    EXPECT_TRUE(back.time.isEmpty()) << "0xFFFFFFFF means no time";

    TrackRecord header;
    header.ident = text(51, 'T');
    header.display = false;
    header.color = 9;
    for (int type : {310, 312}) {
        TrackRecord h;
        ASSERT_TRUE(decodeTrackHeader(type, *encodeTrackHeader(type, header), h));
        EXPECT_EQ(h.ident, header.ident);
        EXPECT_FALSE(h.display);
        EXPECT_EQ(h.color, 9);
    }
    header.ident = QStringLiteral("42");
    TrackRecord h311;
    ASSERT_TRUE(decodeTrackHeader(311, *encodeTrackHeader(311, header), h311));
    EXPECT_EQ(h311.ident, QStringLiteral("42"));

    const DateTimeRecord when{12, 31, 2026, 23, 59, 58};
    DateTimeRecord whenBack;
    ASSERT_TRUE(decodeDateTime(600, *encodeDateTime(600, when), whenBack));
    EXPECT_EQ(whenBack, when);

    const PositionRecord where{-12.5, 130.75};
    PositionRecord whereBack;
    ASSERT_TRUE(decodePosition(700, *encodePosition(700, where), whereBack));
    EXPECT_NEAR(whereBack.latitude, -12.5, 1e-12);
    EXPECT_NEAR(whereBack.longitude, 130.75, 1e-12);

    PvtRecord pvt;
    pvt.alt = 250.5f;
    pvt.epe = kNoValue;
    pvt.fix = 3;
    pvt.tow = 123456.5;
    pvt.latitude = 45.0;
    pvt.longitude = -90.0;
    pvt.msl_hght = -30.25f;
    pvt.leap_scnds = 18;
    pvt.wn_days = 3773;
    const auto pvtBytes = encodePvt(800, pvt);
    ASSERT_EQ(pvtBytes->size(), 64);
    PvtRecord pvtBack;
    ASSERT_TRUE(decodePvt(800, *pvtBytes, pvtBack));
    EXPECT_EQ(pvtBack.epe, kNoValue);
    EXPECT_NEAR(pvtBack.latitude, 45.0, 1e-12);
    EXPECT_EQ(pvtBack.wn_days, 3773u);

    const ProductRecord product{411, 370, QStringLiteral("eTrex Legend Software Version 3.70"),
                                QStringLiteral("Second")};
    ProductRecord productBack;
    ASSERT_TRUE(decodeProduct(encodeProduct(product), productBack));
    EXPECT_EQ(productBack, product);
}

TEST(DataTypes, UnknownTypesAreRefusedNotGuessed) {
    WaypointRecord w;
    EXPECT_FALSE(encodeWaypoint(999, w).has_value());
    EXPECT_FALSE(decodeWaypoint(999, QByteArray(100, 'x'), w));
    EXPECT_FALSE(encodeTrackPoint(303, TrackRecord{}).has_value());
    EXPECT_EQ(dataTypeNumber(QStringLiteral("d103")), 103);
    EXPECT_EQ(dataTypeNumber(QStringLiteral("A100")), 0);
    EXPECT_EQ(dataTypeNumber(QString()), 0);
}

TEST(Capabilities, ProtocolArrayAssignsDataTypesToTheirProtocols) {
    const Capabilities c = Capabilities::fromText(QStringLiteral(
        "P000 L001 A010 A100 D108 A201 D202 D108 D210 A301 D310 D301 A400 D403 A500 D501 "
        "A600 D600 A700 D700 A800 D800 A906 D907"));
    const Capabilities back = Capabilities::fromProtocolArray(c.toProtocolArray());
    EXPECT_EQ(back, c);
    EXPECT_EQ(c.linkProtocol, QStringLiteral("L001"));
    EXPECT_EQ(c.waypointType, QStringLiteral("D108"));
    EXPECT_EQ(c.routeProtocol, QStringLiteral("A201"));
    EXPECT_EQ(c.routeHeaderType, QStringLiteral("D202"));
    EXPECT_EQ(c.routeWaypointType, QStringLiteral("D108"));
    EXPECT_EQ(c.routeLinkType, QStringLiteral("D210"));
    EXPECT_EQ(c.trackHeaderType, QStringLiteral("D310"));
    EXPECT_EQ(c.trackPointType, QStringLiteral("D301"));
    EXPECT_EQ(c.proximityWaypointType, QStringLiteral("D403"));
    EXPECT_EQ(c.pvtType, QStringLiteral("D800"));

    const Capabilities old =
        Capabilities::fromText(QStringLiteral("L001 A100 D103 A200 D201 D103 A300 D300"));
    EXPECT_EQ(old.trackProtocol, QStringLiteral("A300"));
    EXPECT_TRUE(old.trackHeaderType.isEmpty());
    EXPECT_EQ(old.trackPointType, QStringLiteral("D300"));
    EXPECT_TRUE(old.routeLinkType.isEmpty());
    EXPECT_TRUE(old.pvtProtocol.isEmpty());

    // A partial trailing entry and odd tags do not break the reading.
    QByteArray odd = old.toProtocolArray();
    odd.append("\x01\x02", 2);
    EXPECT_EQ(Capabilities::fromProtocolArray(odd).waypointType, QStringLiteral("D103"));
}

TEST(ScreenImage, TwoBitImagesUseFourGreysAndBadPacketsAreRefused) {
    auto packet = [](quint32 section, quint32 offset, const QByteArray& body) {
        QByteArray d;
        ByteWriter w(d);
        w.u32(section);
        w.u32(offset);
        w.raw(body);
        return d;
    };
    QByteArray header;
    ByteWriter h(header);
    h.u32(4); // bytes per row: 4 pixels need 1 byte, padded to 4
    h.u32(2);
    h.u32(4);
    h.u32(2);
    h.raw(QByteArray(12, '\0'));
    ScreenImageAssembler screen;
    ASSERT_TRUE(screen.add(packet(0, 0, header)));
    EXPECT_EQ(screen.percent(), 0);
    // Bottom row first: pixel values 0,1,2,3 (lowest bits leftmost), then all 3.
    ASSERT_TRUE(screen.add(packet(1, 0, QByteArray("\xE4\0\0\0", 4))));
    EXPECT_EQ(screen.percent(), 50);
    EXPECT_FALSE(screen.complete());
    ASSERT_TRUE(screen.add(packet(1, 4, QByteArray("\xFF\0\0\0", 4))));
    ASSERT_TRUE(screen.complete());
    const QImage img = screen.image();
    ASSERT_EQ(img.size(), QSize(4, 2));
    EXPECT_EQ(img.pixel(0, 1) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(img.pixel(1, 1) & 0xFFFFFF, 0xC0C0C0u);
    EXPECT_EQ(img.pixel(2, 1) & 0xFFFFFF, 0x808080u);
    EXPECT_EQ(img.pixel(3, 1) & 0xFFFFFF, 0x000000u);
    EXPECT_EQ(img.pixel(0, 0) & 0xFFFFFF, 0x000000u);

    EXPECT_FALSE(screen.add(packet(1, 6, QByteArray(8, 'x')))) << "past the end";
    ScreenImageAssembler fresh;
    EXPECT_FALSE(fresh.add(packet(1, 0, QByteArray(4, 'x')))) << "pixels before a header";
    QByteArray huge;
    ByteWriter g(huge);
    g.u32(100000);
    g.u32(8);
    g.u32(100000);
    g.u32(100000);
    EXPECT_FALSE(fresh.add(packet(0, 0, huge)));
    EXPECT_FALSE(fresh.add(QByteArray("\0\0", 2)));
}
