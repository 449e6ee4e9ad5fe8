#include "sim/GpxReader.h"

#include "gps/SymbolCatalogue.h"
#include "gps/protocol/DataTypes.h"

#include <QDateTime>
#include <QFile>
#include <QHash>
#include <QXmlStreamReader>
#include <cmath>

namespace trekora::sim {

namespace {

constexpr std::int16_t kWaypointSymbol = 18;

// The receiver code of a GPX symbol name: the names are the receivers' own
// (the symbol catalogue's), compared without regard to case; a few symbols
// the catalogue lacks are added. A number is taken as the code itself, and an
// unknown name is the plain waypoint symbol.
std::int16_t symbolCode(const QString& name) {
    static const QHash<QString, std::int16_t> codes = [] {
        QHash<QString, std::int16_t> all;
        for (const SymbolEntry& entry : SymbolCatalogue::entries())
            all.insert(entry.name.toLower(), static_cast<std::int16_t>(entry.code));
        all.insert(QStringLiteral("flag, blue"), 8284);
        all.insert(QStringLiteral("flag, green"), 8285);
        all.insert(QStringLiteral("flag, red"), 8286);
        return all;
    }();
    bool numeric = false;
    const int n = name.toInt(&numeric);
    if (numeric && n >= 0 && n <= 0xFFFF)
        return static_cast<std::int16_t>(n);
    return codes.value(name.trimmed().toLower(), kWaypointSymbol);
}

struct Point {
    double lat = 0, lon = 0;
    float ele = kNoValue;
    QString name, comment, symbol;
    std::uint32_t time = 0xFFFFFFFF;
};

bool readCoordinate(const QXmlStreamAttributes& a, const char* key, double limit, double& out) {
    bool ok = false;
    out = a.value(QLatin1String(key)).toDouble(&ok);
    return ok && std::isfinite(out) && std::abs(out) <= limit;
}

// Reads one wpt/rtept/trkpt element, the reader standing on its start.
bool readPoint(QXmlStreamReader& xml, Point& p, QString* error) {
    const auto attrs = xml.attributes();
    if (!readCoordinate(attrs, "lat", 90, p.lat) || !readCoordinate(attrs, "lon", 180, p.lon)) {
        if (error)
            *error = QStringLiteral("Line %1: a point without a valid lat and lon")
                         .arg(xml.lineNumber());
        return false;
    }
    while (xml.readNextStartElement()) {
        const auto name = xml.name();
        if (name == QLatin1String("ele")) {
            bool ok = false;
            const double e = xml.readElementText().toDouble(&ok);
            if (ok && std::isfinite(e) && std::abs(e) < 1e6)
                p.ele = static_cast<float>(e);
        } else if (name == QLatin1String("name")) {
            p.name = xml.readElementText().trimmed();
        } else if (name == QLatin1String("cmt") || name == QLatin1String("desc")) {
            const QString text = xml.readElementText().trimmed();
            if (p.comment.isEmpty())
                p.comment = text;
        } else if (name == QLatin1String("sym")) {
            p.symbol = xml.readElementText().trimmed();
        } else if (name == QLatin1String("time")) {
            const QDateTime t = QDateTime::fromString(xml.readElementText().trimmed(), Qt::ISODate);
            if (t.isValid()) {
                const qint64 s = t.toSecsSinceEpoch() - gps::kGarminEpochOffset;
                if (s >= 0 && s < 0xFFFFFFFFll)
                    p.time = static_cast<std::uint32_t>(s);
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    return true;
}

WaypointRecord toWaypoint(const Point& p, int counter) {
    WaypointRecord w;
    w.ident =
        p.name.isEmpty() ? QStringLiteral("WPT%1").arg(counter, 3, 10, QLatin1Char('0')) : p.name;
    w.latitude = p.lat;
    w.longitude = p.lon;
    w.altitude = p.ele;
    w.comment = p.comment;
    w.symbol = p.symbol.isEmpty() ? kWaypointSymbol : symbolCode(p.symbol);
    w.color = 255;
    w.time = p.time;
    return w;
}

TrackRecord toTrackPoint(const Point& p, bool newSegment) {
    TrackRecord t;
    t.latitude = p.lat;
    t.longitude = p.lon;
    t.altitude = p.ele;
    t.time = gps::trackTimeText(p.time);
    t.new_segment = newSegment;
    return t;
}

class Reader {
public:
    Reader(QXmlStreamReader& xml, SimData& data) : m_xml(xml), m_data(data) {}

    bool run(QString* error) {
        if (!m_xml.readNextStartElement() || m_xml.name() != QLatin1String("gpx"))
            return fail(error, QStringLiteral("Not a GPX file"));
        while (m_xml.readNextStartElement()) {
            const auto name = m_xml.name();
            bool ok = true;
            if (name == QLatin1String("wpt"))
                ok = readWaypoint(error);
            else if (name == QLatin1String("rte"))
                ok = readRoute(error);
            else if (name == QLatin1String("trk"))
                ok = readTrack(error);
            else
                m_xml.skipCurrentElement();
            if (!ok)
                return false;
        }
        if (m_xml.hasError())
            return fail(
                error,
                QStringLiteral("Line %1: %2").arg(m_xml.lineNumber()).arg(m_xml.errorString()));
        return true;
    }

private:
    bool fail(QString* error, const QString& text) {
        if (error)
            *error = text;
        return false;
    }

    bool count(QString* error) {
        if (++m_items > GpxReader::kMaxItems)
            return fail(error, QStringLiteral("The file holds too many points"));
        return true;
    }

    bool readWaypoint(QString* error) {
        Point p;
        if (!count(error) || !readPoint(m_xml, p, error))
            return false;
        m_data.storeWaypoint(toWaypoint(p, ++m_unnamed));
        return true;
    }

    bool readRoute(QString* error) {
        SimRoute route;
        route.header.route_number = static_cast<std::int16_t>(m_data.routes.size() + 1);
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("rtept")) {
                Point p;
                if (!count(error) || !readPoint(m_xml, p, error))
                    return false;
                route.points.append(toWaypoint(p, ++m_unnamed));
            } else if (m_xml.name() == QLatin1String("name")) {
                route.header.route_ident = m_xml.readElementText().trimmed();
            } else if (m_xml.name() == QLatin1String("cmt")) {
                route.header.route_comment = m_xml.readElementText().trimmed();
            } else {
                m_xml.skipCurrentElement();
            }
        }
        if (route.header.route_comment.isEmpty())
            route.header.route_comment = route.header.route_ident;
        m_data.routes.append(route);
        return true;
    }

    bool readTrack(QString* error) {
        SimTrack track;
        track.header.ident = QStringLiteral("TRACK %1").arg(m_data.tracks.size() + 1);
        while (m_xml.readNextStartElement()) {
            if (m_xml.name() == QLatin1String("trkseg")) {
                bool first = true;
                while (m_xml.readNextStartElement()) {
                    if (m_xml.name() != QLatin1String("trkpt")) {
                        m_xml.skipCurrentElement();
                        continue;
                    }
                    Point p;
                    if (!count(error) || !readPoint(m_xml, p, error))
                        return false;
                    track.points.append(toTrackPoint(p, first));
                    first = false;
                }
            } else if (m_xml.name() == QLatin1String("name")) {
                track.header.ident = m_xml.readElementText().trimmed();
            } else {
                m_xml.skipCurrentElement();
            }
        }
        m_data.tracks.append(track);
        return true;
    }

    QXmlStreamReader& m_xml;
    SimData& m_data;
    int m_items = 0;
    int m_unnamed = 0;
};

} // namespace

bool GpxReader::read(QIODevice& device, SimData& data, QString* error) {
    QXmlStreamReader xml(&device);
    SimData loaded;
    Reader reader(xml, loaded);
    if (!reader.run(error))
        return false;
    data = loaded;
    return true;
}

bool GpxReader::readFile(const QString& path, SimData& data, QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("Cannot open %1: %2").arg(path, file.errorString());
        return false;
    }
    return read(file, data, error);
}

} // namespace trekora::sim
