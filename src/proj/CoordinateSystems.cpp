#include "proj/CoordinateSystems.h"

#include "core/AppPaths.h"
#include "proj/ProjectionBridge.h"
#include "proj/ProjectionCatalogue.h"

#include <QFile>
#include <QHash>

namespace trekora {

namespace {

const QString kSource = QStringLiteral("Coordinate systems");
// Catalogue files are a few MB; a .prj file is one line of WKT.
constexpr qint64 kMaxCatalogueBytes = 64 * 1024 * 1024;
constexpr qint64 kMaxPrjBytes = 64 * 1024;
constexpr int kErrorUnreadable = 53;
constexpr int kErrorUnknownSystem = 5;

// The text of a catalogue file, read once on first use (a data directory
// change reads it again). One code is looked up by a scan of the text: a
// command that needs one or two systems does not build the whole catalogue.
const QByteArray& catalogueText(const QString& name) {
    struct Loaded {
        QString dataDir;
        QByteArray text;
        bool read = false;
    };
    static QHash<QString, Loaded> loaded;
    Loaded& entry = loaded[name];
    if (!entry.read || entry.dataDir != AppPaths::dataDir()) {
        entry.read = true;
        entry.dataDir = AppPaths::dataDir();
        entry.text.clear();
        QFile file(AppPaths::dataFile(QStringLiteral("proj/nad/") + name));
        if (file.open(QIODevice::ReadOnly) && file.size() <= kMaxCatalogueBytes)
            entry.text = file.readAll();
    }
    return entry.text;
}

// The first definition line of `code` and the "#" header above it, as the
// catalogue's code table has them (the first definition of a code wins).
std::optional<CoordinateSystem> lookUp(const QString& catalogueName, const QString& code) {
    if (code.isEmpty() || code.contains(u'>') || code.contains(u'\n'))
        return std::nullopt;
    const QByteArray& text = catalogueText(catalogueName);
    const QByteArray key = '<' + code.toUtf8() + "> ";
    qsizetype at = text.startsWith(key) ? 0 : -1;
    if (at < 0) {
        const qsizetype found = text.indexOf('\n' + key);
        if (found < 0)
            return std::nullopt;
        at = found + 1;
    }
    const qsizetype end = text.indexOf('\n', at);
    const QString line = QString::fromUtf8(text.mid(at, end < 0 ? -1 : end - at)).trimmed();
    QString header;
    for (qsizetype lineStart = at; lineStart > 0 && header.isEmpty();) {
        const qsizetype previousEnd = lineStart - 1;
        const qsizetype previousStart = text.lastIndexOf('\n', previousEnd - 1) + 1;
        const QByteArray previous = text.mid(previousStart, previousEnd - previousStart).trimmed();
        if (previous.startsWith('#'))
            header = QString::fromUtf8(previous.mid(1)).trimmed();
        lineStart = previousStart;
    }
    CoordinateSystem system;
    system.authority = catalogueName.toUpper();
    system.code = code;
    system.catalogue = catalogueName;
    system.name = header;
    if (system.name.endsWith(u'/'))
        system.name.chop(1);
    system.name = system.name.trimmed();
    system.definition = ProjectionCatalogue::parametersOf(line);
    return system;
}

} // namespace

std::optional<CoordinateSystem> findCoordinateSystem(const QString& text) {
    const QString trimmed = text.trimmed();
    const qsizetype colon = trimmed.indexOf(u':');
    const QString authority = colon < 0 ? QString() : trimmed.left(colon).trimmed().toLower();
    const QString code = colon < 0 ? trimmed : trimmed.mid(colon + 1).trimmed();
    if (code.isEmpty())
        return std::nullopt;
    if (authority.isEmpty()) {
        if (auto found = lookUp(QStringLiteral("epsg"), code))
            return found;
        return lookUp(QStringLiteral("esri"), code);
    }
    if (authority == QLatin1String("epsg") || authority == QLatin1String("esri"))
        return lookUp(authority, code);
    return std::nullopt;
}

CoordinateSystem wgs84LongLat() {
    if (auto found = lookUp(QStringLiteral("epsg"), QStringLiteral("4326")))
        return *found;
    return {QStringLiteral("EPSG"), QStringLiteral("4326"), QStringLiteral("epsg"),
            QStringLiteral("WGS 84"), QStringLiteral("+proj=longlat +datum=WGS84 +no_defs")};
}

PrjSystem readPrjSystem(const QString& path) {
    PrjSystem result;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxPrjBytes) {
        result.status = ProjectionStatus::failure(kErrorUnreadable, kSource,
                                                  QStringLiteral("Cannot read ") + path);
        return result;
    }
    const IdentifiedCrs crs =
        ProjectionBridge::instance().identifyCrs(QString::fromUtf8(file.readAll()));
    if (!crs.readable) {
        result.status = ProjectionStatus::failure(
            kErrorUnknownSystem, kSource,
            QStringLiteral("PROJ cannot read the coordinate system in ") + path);
        return result;
    }
    if (!crs.code.isEmpty())
        if (auto found = lookUp(crs.authority.toLower(), crs.code)) {
            result.system = *found;
            result.identified = true;
            return result;
        }
    result.system.name = crs.name;
    result.system.definition = crs.definition;
    return result;
}

} // namespace trekora
