#include "proj/CoordinateSystems.h"

#include "core/AppPaths.h"
#include "proj/ProjectionBridge.h"
#include "proj/ProjectionCatalogue.h"

#include <QFile>
#include <QHash>
#include <memory>

namespace trekora {

namespace {

const QString kSource = QStringLiteral("Coordinate systems");
// Catalogue files are a few MB; a .prj file is one line of WKT.
constexpr qint64 kMaxCatalogueBytes = 64 * 1024 * 1024;
constexpr qint64 kMaxPrjBytes = 64 * 1024;
constexpr int kErrorUnreadable = 53;
constexpr int kErrorUnknownSystem = 5;

// The two catalogues, each read once on first use (a data directory change
// reads them again).
const ProjectionCatalogue& catalogue(const QString& name) {
    struct Loaded {
        QString dataDir;
        std::shared_ptr<ProjectionCatalogue> catalogue;
    };
    static QHash<QString, Loaded> loaded;
    Loaded& entry = loaded[name];
    if (!entry.catalogue || entry.dataDir != AppPaths::dataDir()) {
        entry.dataDir = AppPaths::dataDir();
        entry.catalogue = std::make_shared<ProjectionCatalogue>();
        entry.catalogue->setFileName(name);
        QFile file(AppPaths::dataFile(QStringLiteral("proj/nad/") + name));
        if (file.open(QIODevice::ReadOnly) && file.size() <= kMaxCatalogueBytes)
            entry.catalogue->parse(file.readAll());
    }
    return *entry.catalogue;
}

std::optional<CoordinateSystem> lookUp(const QString& catalogueName, const QString& code) {
    const ProjectionCatalogue& table = catalogue(catalogueName);
    const auto entry = table.findCode(code);
    if (!entry)
        return std::nullopt;
    CoordinateSystem system;
    system.authority = catalogueName.toUpper();
    system.code = code;
    system.catalogue = catalogueName;
    system.name = table.isEsri() || entry->description == ProjectionCatalogue::kNoProjection
                      ? entry->group
                      : entry->group + QStringLiteral(" / ") + entry->description;
    system.definition =
        ProjectionCatalogue::parametersOf(table.definitionLine(entry->group, entry->description));
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
