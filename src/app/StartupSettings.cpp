#include "app/StartupSettings.h"

#include "core/AppPaths.h"
#include "core/Settings.h"
#include "core/TextConventions.h"

#include <algorithm>
#include <limits>

namespace trekora {

const char* const kBaudCaptions[7] = {
    "4800 (NMEA Mode)", "9600 (Garmin Default)", "19200", "28800", "38400", "57600", "115200"};

namespace {
const char* const kBaudSettings[7] = {"4800,N,8,1",  "9600,N,8,1",  "19200,N,8,1", "28800,N,8,1",
                                      "38400,N,8,1", "57600,N,8,1", "115200,N,8,1"};
constexpr double kDefaultRefresh = 10;
// Each check looks for every GIS program; more often than once a second
// would keep a whole core busy for nothing.
constexpr double kShortestRefresh = 1;
// The longest period a millisecond timer interval can hold.
constexpr double kLongestRefresh = std::numeric_limits<int>::max() / 1000.0;
} // namespace

int baudMenuIndex(const QString& serialSettings) {
    for (int i = 0; i < 7; ++i)
        if (serialSettings == QLatin1String(kBaudSettings[i]))
            return i;
    return -1;
}

QString serialSettingsOfBaudIndex(int index) {
    if (index < 0 || index >= 7)
        return {};
    return QString::fromLatin1(kBaudSettings[index]);
}

double refreshPeriod(const QString& text) {
    const double period = text::val(text);
    if (!(period > 0))
        return kDefaultRefresh;
    return std::clamp(period, kShortestRefresh, kLongestRefresh);
}

QString normalisedRefreshText(const QString& text) {
    const double period = text::val(text);
    if (!(period > 0))
        return QStringLiteral("10");
    if (period < kShortestRefresh)
        return text::numberText(kShortestRefresh);
    return text;
}

int refreshIntervalMs(double seconds) {
    return int(std::clamp(seconds * 1000.0, 1.0, double(std::numeric_limits<int>::max())));
}

StartupSettings StartupSettings::read() {
    StartupSettings s;
    s.dialogFolder = Settings::get("drive", "drive", AppPaths::programDir());
    s.port = int(text::roundHalfEven(
        std::clamp(text::val(Settings::get("port", "port", "1")), -1.0, 1000.0)));
    s.serialSettings = Settings::get("port", "Settings", "9600,N,8,1");
    s.baudIndex = baudMenuIndex(s.serialSettings);
    s.feet = Settings::get("Units", "Unit", "meters") == QLatin1String("Feet");

    const QString storedRefresh = Settings::get("app", "refresh", "10");
    s.refreshSeconds = refreshPeriod(storedRefresh);
    Settings::set("app", "refresh", text::numberText(s.refreshSeconds));

    s.projectionCatalogue =
        Settings::get("proj", "projfile", "epsg") == QLatin1String("esri") ? "esri" : "epsg";
    return s;
}

} // namespace trekora
