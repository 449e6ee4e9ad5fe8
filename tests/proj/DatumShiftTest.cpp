// Our catalogue's definitions against PROJ's own conversion of the same EPSG
// code (cs2cs EPSG:4326 EPSG:<code>), at points inside each system's area.
#include "core/AppPaths.h"
#include "proj/CoordinateSystems.h"
#include "proj/ProjectionBridge.h"
#include "support/TestEnvironment.h"

#include <QProcess>
#include <cmath>

using namespace trekora;

namespace {

struct Case {
    const char* code;
    double lat, lon;
    double tolerance; // in the system's unit
};

// cs2cs prints the system's axes in its own order (northing first for some);
// the result is given back as easting, northing.
bool cs2csEpsg(const QString& cs2cs, const Case& c, double& east, double& north) {
    QProcess process;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert("PROJ_NETWORK", "OFF");
    process.setProcessEnvironment(env);
    process.start(cs2cs, {"-f", "%.6f", "EPSG:4326", QStringLiteral("EPSG:") + c.code});
    process.write(QByteArray::number(c.lat, 'f', 9) + ' ' + QByteArray::number(c.lon, 'f', 9) +
                  '\n');
    process.closeWriteChannel();
    if (!process.waitForFinished(30000))
        return false;
    const QList<QByteArray> parts =
        process.readAllStandardOutput().simplified().replace('\t', ' ').split(' ');
    if (parts.size() < 2)
        return false;
    bool okA = false, okB = false;
    east = parts[0].toDouble(&okA);
    north = parts[1].toDouble(&okB);
    return okA && okB;
}

} // namespace

class DatumShiftTest : public test::TestEnvironment {};

TEST_F(DatumShiftTest, CatalogueAgreesWithPROJsOwnConversion) {
    TREKORA_REQUIRE_TOOL(cs2cs, "cs2cs");
    // Systems whose datum needs a shift (the first five were 0.5 to 157 m off
    // when their definitions had none), then a spread of others: 5 m covers
    // PROJ's choice among regional variants of a shift; systems on WGS 84,
    // NAD83 or GRS80 must agree to a millimetre.
    const std::vector<Case> cases = {
        {"27700", 51.5, -0.1, 5},        {"23031", 48.8, 2.3, 5},
        {"31370", 50.85, 4.35, 5},       {"31467", 50.1, 8.7, 5},
        {"2926", 47.6, -122.3, 0.00328}, {"26915", 45.0, -93.5, 0.001},
        {"32633", 50.0, 15.0, 0.001},    {"2154", 48.8, 2.3, 0.001},
        {"28992", 52.1, 5.1, 5},         {"3035", 50.0, 10.0, 0.001},
        {"2193", -41.3, 174.8, 0.001},   {"21781", 46.9, 7.4, 5},
        {"3067", 60.2, 24.9, 0.001},     {"26715", 45.0, -93.5, 5},
        {"2263", 40.7, -74.0, 0.00328},  {"3857", 45.0, -93.0, 0.001},
        {"4326", 45.0, -93.0, 1e-9},     {"22275", -33.9, 18.4, 5},
        {"3111", -37.8, 144.9, 0.001},   {"2039", 31.8, 35.2, 5},
    };
    auto& bridge = ProjectionBridge::instance();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const auto system = findCoordinateSystem(c.code);
        ASSERT_TRUE(system);
        double x = c.lon, y = c.lat;
        ASSERT_TRUE(bridge.transform(system->definition, true, &x, &y, 1));
        double a = 0, b = 0;
        ASSERT_TRUE(cs2csEpsg(cs2cs, c, a, b));
        if (QByteArray(c.code) == "4326") {
            EXPECT_NEAR(x, b, c.tolerance);
            EXPECT_NEAR(y, a, c.tolerance);
            continue;
        }
        // Either axis order of cs2cs's output; the right one is far closer.
        const double asIs = std::hypot(x - a, y - b);
        const double swapped = std::hypot(x - b, y - a);
        EXPECT_LE(std::min(asIs, swapped), c.tolerance)
            << "ours " << x << ", " << y << "; cs2cs " << a << ", " << b;
    }
}
