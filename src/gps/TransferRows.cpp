#include "gps/TransferRows.h"

#include "core/TextConventions.h"

#include <cmath>

namespace trekora::gps {

namespace {

constexpr double kFeetPerMetre = 1.0 / 0.3048;
constexpr float kLargestValue = 1.0e9f;

double inUnit(float metres, bool meters) {
    const double value = static_cast<double>(metres);
    return meters ? value : value * kFeetPerMetre;
}

QString integerText(std::int64_t value) {
    return QString::number(value);
}

} // namespace

std::int16_t SymbolTranslation::tableCode(std::int16_t d103Code) const {
    return fromD103 ? fromD103(d103Code) : d103Code;
}

std::int16_t SymbolTranslation::d103Code(const QString& cellText) const {
    if (toD103)
        return toD103(cellText);
    return text::toInt16(text::val(cellText)).value_or(0);
}

bool usesD103Numbering(const QString& waypointType) {
    return text::sameText(waypointType, u"d103");
}

QString modelText(const QString& description1) {
    const qsizetype at = description1.indexOf(QLatin1String(" Software"));
    return at < 0 ? QString() : description1.left(at + 1);
}

QString coordinateText(double degrees) {
    return text::format(degrees, u"##.00000000");
}

QString booleanText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString wholeLength(float metres, bool meters) {
    if (metres > kLargestValue)
        return QStringLiteral("0");
    return integerText(text::roundHalfEven(inUnit(metres, meters)));
}

QString depthLength(float metres, bool meters) {
    if (metres > kLargestValue)
        return QStringLiteral("0");
    return text::numberText(text::val(text::format(inUnit(metres, meters), u"####.0")));
}

QString trackLength(float metres, bool meters) {
    if (metres > kLargestValue)
        return QStringLiteral("0");
    if (meters)
        return text::numberText(static_cast<double>(metres));
    return text::numberText(std::round(inUnit(metres, false) * 100.0) / 100.0);
}

QStringList waypointValues(const WaypointRecord& w, const RowContext& context) {
    std::int16_t symbol = w.symbol;
    if (context.d103Symbols && context.symbols)
        symbol = context.symbols->tableCode(symbol);
    QStringList v;
    v.reserve(29);
    v << QStringLiteral("WAYPOINT") << w.ident << coordinateText(w.latitude)
      << coordinateText(w.longitude) << QStringLiteral("0") << QStringLiteral("0") << w.comment
      << integerText(w.display) << integerText(symbol) << integerText(w.unused1)
      << wholeLength(w.dist, context.meters) << integerText(w.prox_index) << integerText(w.color)
      << wholeLength(w.altitude, context.meters) << depthLength(w.depth, context.meters)
      << integerText(w.wpt_class) << w.sub_class << integerText(w.attrib) << w.link << w.state
      << w.country << w.city << w.address << w.facility << w.crossroad << integerText(w.unused2)
      << integerText(w.ete) << integerText(w.dtype) << context.model;
    return v;
}

QStringList trackPointValues(const TrackRecord& t, const QString& trackName,
                             const RowContext& context) {
    QStringList v;
    v.reserve(13);
    v << QStringLiteral("TRACK") << trackName << coordinateText(t.latitude)
      << coordinateText(t.longitude) << QStringLiteral("0") << QStringLiteral("0")
      << booleanText(t.new_segment) << booleanText(t.display) << integerText(t.color)
      << trackLength(t.altitude, context.meters) << trackLength(t.depth, context.meters) << t.time
      << context.model;
    return v;
}

QStringList routeHeaderValues(const RouteRecord& r, const QString& routeHeaderType) {
    QStringList v;
    v << integerText(r.route_number);
    if (routeHeaderType == QLatin1String("D201"))
        v << r.route_comment << r.route_ident;
    else
        v << r.route_ident << r.route_comment;
    v << integerText(r.link_class) << r.link_subclass << r.link_ident;
    return v;
}

QStringList routePointValues(const QStringList& waypoint, bool newRoute,
                             const QStringList& routeHeader) {
    QStringList v = waypoint;
    if (v.isEmpty())
        return v;
    v[0] = QStringLiteral("Route");
    const qsizetype at = std::min<qsizetype>(6, v.size());
    QStringList inserted;
    inserted << booleanText(newRoute) << routeHeader;
    for (qsizetype i = 0; i < inserted.size(); ++i)
        v.insert(at + i, inserted[i]);
    return v;
}

} // namespace trekora::gps
