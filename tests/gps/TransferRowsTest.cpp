// Rows a download makes of the receiver's records, and the texts of the
// receiver information.
#include "gps/TransferRows.h"
#include "gps/DeviceInfo.h"

#include <gtest/gtest.h>

using namespace trekora;
using namespace trekora::gps;

namespace {

WaypointRecord sampleWaypoint() {
    WaypointRecord w;
    w.ident = QStringLiteral("CAMP");
    w.latitude = -0.25;
    w.longitude = 0.5;
    w.comment = QStringLiteral("tent; water");
    w.symbol = 15;
    w.altitude = 100;
    w.depth = 12.34f;
    w.dist = kNoValue;
    w.ete = -1;
    return w;
}

} // namespace

TEST(TransferRows, WaypointValuesFollowTheFieldOrderAndUnits) {
    RowContext metres;
    metres.model = modelText(QStringLiteral("eTrex Legend Software Version 3.70"));
    const QStringList v = waypointValues(sampleWaypoint(), metres);
    ASSERT_EQ(v.size(), 29);
    EXPECT_EQ(v[0], "WAYPOINT");
    EXPECT_EQ(v[2], "-.25000000");
    EXPECT_EQ(v[3], ".50000000");
    EXPECT_EQ(v[6], "tent; water"); // kept whole: values are never re-split
    EXPECT_EQ(v[8], "15");
    EXPECT_EQ(v[10], "0"); // no distance
    EXPECT_EQ(v[13], "100");
    EXPECT_EQ(v[14], "12.3");
    EXPECT_EQ(v[26], "-1");
    EXPECT_EQ(v[28], "eTrex Legend ");

    RowContext feet;
    feet.meters = false;
    const QStringList f = waypointValues(sampleWaypoint(), feet);
    EXPECT_EQ(f[13], "328");
    EXPECT_EQ(f[14], "40.5");
    EXPECT_EQ(f[28], "");
}

TEST(TransferRows, D103SymbolsGoThroughTheTranslation) {
    SymbolTranslation translation;
    translation.fromD103 = [](std::int16_t code) -> std::int16_t { return code == 15 ? 8196 : 0; };
    translation.toD103 = [](const QString& text) -> std::int16_t {
        return text == QLatin1String("18") ? 0 : 7;
    };
    RowContext context;
    context.symbols = &translation;
    context.d103Symbols = usesD103Numbering(QStringLiteral("d103"));
    EXPECT_EQ(waypointValues(sampleWaypoint(), context)[8], "8196");
    context.d103Symbols = usesD103Numbering(QStringLiteral("D108"));
    EXPECT_EQ(waypointValues(sampleWaypoint(), context)[8], "15");
    EXPECT_EQ(translation.d103Code(QStringLiteral("18")), 0);
    // Without a catalogue the codes pass through.
    EXPECT_EQ(SymbolTranslation{}.tableCode(15), 15);
    EXPECT_EQ(SymbolTranslation{}.d103Code(QStringLiteral("12")), 12);
}

TEST(TransferRows, TrackLengthsInMetresAndFeet) {
    const struct {
        float metres;
        bool meters;
        const char* text;
    } cases[] = {
        {287.3f, true, "287.299987792969"},
        {100.0f, false, "328.08"},
        {kNoValue, true, "0"},
        {0.0f, false, "0"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(trackLength(c.metres, c.meters), c.text) << c.metres;

    TrackRecord t;
    t.latitude = 37.5;
    t.longitude = -119.25;
    t.new_segment = true;
    t.display = false;
    t.color = 9;
    t.altitude = 100;
    t.time = QStringLiteral("489409200");
    const QStringList v = trackPointValues(t, QStringLiteral("ACTIVE LOG"), RowContext{});
    EXPECT_EQ(v.join(';'), "TRACK;ACTIVE LOG;37.50000000;-119.25000000;0;0;True;False;9;100;0;"
                           "489409200;");
}

TEST(TransferRows, RouteHeaderAndPoints) {
    RouteRecord r;
    r.route_number = 2;
    r.route_ident = QStringLiteral("MIST");
    r.route_comment = QStringLiteral("falls");
    r.link_class = 3;
    EXPECT_EQ(routeHeaderValues(r, QStringLiteral("D201")).join(';'), "2;falls;MIST;3;;");
    EXPECT_EQ(routeHeaderValues(r, QStringLiteral("D202")).join(';'), "2;MIST;falls;3;;");

    const QStringList point = routePointValues(waypointValues(sampleWaypoint(), RowContext{}), true,
                                               routeHeaderValues(r, QStringLiteral("D202")));
    ASSERT_EQ(point.size(), 36);
    EXPECT_EQ(point[0], "Route");
    EXPECT_EQ(point[6], "True");
    EXPECT_EQ(point[8], "MIST");
    EXPECT_EQ(point[13], "tent; water");
}

TEST(DeviceInfo, CapabilityTableKeepsTenCharacterCells) {
    const Capabilities caps = Capabilities::fromText(
        QStringLiteral("P000 L001 A010 A100 D103 A200 D201 D103 A300 D300 A500 D501 A600 D600 "
                       "A700 D700 A800 D800"));
    const CapabilityColumns t = capabilityTable(caps);
    for (const QString& column : {t.protocols, t.headers, t.data})
        EXPECT_EQ(column.size() % 10, 0) << column.toStdString();
    EXPECT_EQ(t.protocols.mid(20, 10), " Link:L001");
    EXPECT_EQ(t.protocols.mid(50, 10), "  TRK:A300");
    EXPECT_EQ(t.headers.mid(40, 10), "  RTE:D201");
    EXPECT_EQ(t.headers.mid(50, 10), "  TRK:    ");
    EXPECT_EQ(t.data.mid(30, 10), "  WPT:D103");
    EXPECT_EQ(t.data.right(10), "  PVT:D800");
}

TEST(DeviceInfo, ScreenShotsNmeaLinesAndDates) {
    const struct {
        std::int16_t id, version;
        bool capable;
    } cases[] = {{96, 457, false}, {96, 458, true}, {138, 300, false}, {411, 100, true}};
    for (const auto& c : cases)
        EXPECT_EQ(screenShotCapable(ProductRecord{c.id, c.version, {}, {}}), c.capable) << c.id;
    EXPECT_TRUE(isNmeaLine(QStringLiteral("$GPGGA,1")));
    EXPECT_FALSE(isNmeaLine(QStringLiteral("$PGRMZ,1")));
    const DateTimeRecord when{7, 4, 2005, 9, 5, 0};
    EXPECT_EQ(dateText(when), "7/4/2005");
    EXPECT_EQ(timeText(when), "9:5:0");
}
