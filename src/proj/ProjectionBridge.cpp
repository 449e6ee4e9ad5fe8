#include "proj/ProjectionBridge.h"

#include "core/AppPaths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <proj.h>

#include <charconv>
#include <cmath>

namespace trekora {

namespace {

const QString kWgs84LongLat = QStringLiteral("+proj=latlong +datum=WGS84 +type=crs");
const QString kClosingGrid = QStringLiteral("ntv1_can.dat");
// The grid list's own default, used when the data directory has no list.
const QStringList kClassicNad27Grids = {QStringLiteral("stlrnc.dat"),
                                        QStringLiteral("stpaul.dat"),
                                        QStringLiteral("alaska.dat"),
                                        QStringLiteral("fl.dat"),
                                        QStringLiteral("hawaii.dat"),
                                        QStringLiteral("md.dat"),
                                        QStringLiteral("prvi.dat"),
                                        QStringLiteral("stgeorge.dat"),
                                        QStringLiteral("tn.dat"),
                                        QStringLiteral("wi.dat"),
                                        QStringLiteral("wo.dat"),
                                        QStringLiteral("conus.dat"),
                                        kClosingGrid};
// The status number of a definition PROJ cannot use.
constexpr int kErrorRejected = 5;
// A grid list is a short text file; refuse anything that is plainly not one.
constexpr qint64 kMaxGridListBytes = 64 * 1024;

QString nadDir() {
    return AppPaths::dataFile(QStringLiteral("proj/nad"));
}

QString asCrs(const QString& definition) {
    return definition.contains(QLatin1String("+type=crs"))
               ? definition
               : definition + QStringLiteral(" +type=crs");
}

QString tenDecimals(double value) {
    if (!std::isfinite(value))
        return {};
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 10);
    if (result.ec != std::errc())
        return QStringLiteral("0");
    return QString::fromLatin1(buffer, result.ptr - buffer);
}

QStringList readGridList(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxGridListBytes)
        return kClassicNad27Grids;
    QStringList names;
    for (const QByteArray& raw : file.readAll().split('\n')) {
        const QString name = QString::fromUtf8(raw).trimmed();
        // Plain file names only: a list entry must not reach outside the folder
        // or break the comma-separated clause.
        if (name.isEmpty() || name.startsWith(u'#') || name.contains(u'/') ||
            name.contains(u'\\') || name.contains(u',') || name.contains(u' ') ||
            name.startsWith(u'.'))
            continue;
        if (!names.contains(name))
            names.append(name);
    }
    return names;
}

} // namespace

ProjectionBridge& ProjectionBridge::instance() {
    static ProjectionBridge bridge;
    return bridge;
}

ProjectionBridge::ProjectionBridge() = default;

ProjectionBridge::~ProjectionBridge() {
    reset();
    if (m_context)
        proj_context_destroy(m_context);
}

void ProjectionBridge::reset() {
    for (PJ* p : std::as_const(m_forward))
        proj_destroy(p);
    for (PJ* p : std::as_const(m_inverse))
        proj_destroy(p);
    m_forward.clear();
    m_inverse.clear();
    m_nad27Grids.clear();
    m_gridsKnown = false;
    m_dataDir.clear();
}

void ProjectionBridge::ensureContext() {
    const QString dataDir = AppPaths::dataDir();
    if (m_context && dataDir == m_dataDir)
        return;
    reset();
    m_dataDir = dataDir;
    if (!m_context) {
        m_context = proj_context_create();
        // Everything the program needs is on this machine.
        proj_context_set_enable_network(m_context, 0);
        proj_log_level(m_context, PJ_LOG_NONE);
    }
    // The data directory's grids first, then PROJ's own folders (proj.db).
    QList<QByteArray> paths{QFile::encodeName(nadDir())};
#ifdef _WIN32
    const char separator = ';';
#else
    const char separator = ':';
#endif
    for (const QByteArray& path : QByteArray(proj_info().searchpath).split(separator))
        if (!path.isEmpty())
            paths.append(path);
    std::vector<const char*> raw;
    for (const QByteArray& path : paths)
        raw.push_back(path.constData());
    proj_context_set_search_paths(m_context, int(raw.size()), raw.data());
}

const QStringList& ProjectionBridge::installedNad27Grids() {
    if (!m_gridsKnown) {
        m_gridsKnown = true;
        const QDir dir(nadDir());
        for (const QString& name : readGridList(dir.filePath(QStringLiteral("nad27grids"))))
            if (QFileInfo(dir.filePath(name)).isFile())
                m_nad27Grids.append(name);
    }
    return m_nad27Grids;
}

QString ProjectionBridge::gridClause(const QString& definition) {
    if (!definition.contains(QLatin1String("NAD27")))
        return {};
    ensureContext();
    const QStringList& grids = installedNad27Grids();
    if (grids.isEmpty())
        return {};
    QString clause = QStringLiteral(" +nadgrids=");
    for (const QString& name : grids)
        if (name != kClosingGrid)
            clause += u'@' + name + u',';
    return clause + u'@' + kClosingGrid;
}

PJ* ProjectionBridge::transformationFor(const QString& fullDefinition, bool forward,
                                        QString* error) {
    auto& cache = forward ? m_forward : m_inverse;
    auto found = cache.constFind(fullDefinition);
    if (found != cache.cend())
        return found.value();
    const QByteArray wgs84 = kWgs84LongLat.toUtf8();
    const QByteArray target = asCrs(fullDefinition).toUtf8();
    PJ* p = forward
                ? proj_create_crs_to_crs(m_context, wgs84.constData(), target.constData(), nullptr)
                : proj_create_crs_to_crs(m_context, target.constData(), wgs84.constData(), nullptr);
    if (!p) {
        if (error)
            *error = QString::fromUtf8(
                proj_context_errno_string(m_context, proj_context_errno(m_context)));
        return nullptr;
    }
    cache.insert(fullDefinition, p);
    return p;
}

bool ProjectionBridge::transform(const QString& definition, bool forward, double* x, double* y,
                                 std::size_t count, QString* error) {
    ensureContext();
    PJ* p = transformationFor(definition + gridClause(definition), forward, error);
    if (!p)
        return false;
    if (count == 0)
        return true;
    clearVectorState();
    proj_trans_generic(p, PJ_FWD, x, sizeof(double), count, y, sizeof(double), count, nullptr, 0, 0,
                       nullptr, 0, 0);
    proj_errno_reset(p);
    for (std::size_t i = 0; i < count; ++i) {
        // Both halves of a failed point are marked, so no caller can take
        // one of them for a coordinate.
        if (!std::isfinite(x[i]) || !std::isfinite(y[i])) {
            x[i] = HUGE_VAL;
            y[i] = HUGE_VAL;
        }
    }
    return true;
}

void ProjectionBridge::clearVectorState() {
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
    static const bool hasAvx = __builtin_cpu_supports("avx");
    if (hasAvx)
        __asm__ volatile("vzeroupper" ::: "memory");
#endif
}

QString ProjectionBridge::esriWkt(const QString& catalogueName, const QString& code) {
    ensureContext();
    const QByteArray authority =
        catalogueName.compare(QLatin1String("esri"), Qt::CaseInsensitive) == 0 ? QByteArray("ESRI")
                                                                               : QByteArray("EPSG");
    const QByteArray codeText = code.toUtf8();
    PJ* crs = proj_create_from_database(m_context, authority.constData(), codeText.constData(),
                                        PJ_CATEGORY_CRS, 0, nullptr);
    if (!crs)
        return {};
    const char* const options[] = {"MULTILINE=NO", nullptr};
    const char* wkt = proj_as_wkt(m_context, crs, PJ_WKT1_ESRI, options);
    QString text = wkt ? QString::fromUtf8(wkt) : QString();
    proj_destroy(crs);
    return text;
}

namespace {

// The most confident candidate of `authority`, or an empty code.
std::pair<QString, int> bestMatch(pj_ctx* context, PJ* crs, const char* authority) {
    int* confidence = nullptr;
    PJ_OBJ_LIST* matches = proj_identify(context, crs, authority, nullptr, &confidence);
    std::pair<QString, int> best{QString(), 0};
    const int count = matches ? proj_list_get_count(matches) : 0;
    for (int i = 0; i < count; ++i) {
        if (confidence[i] <= best.second)
            continue;
        PJ* candidate = proj_list_get(context, matches, i);
        const char* code = candidate ? proj_get_id_code(candidate, 0) : nullptr;
        if (code)
            best = {QString::fromUtf8(code), confidence[i]};
        proj_destroy(candidate);
    }
    proj_int_list_destroy(confidence);
    proj_list_destroy(matches);
    return best;
}

} // namespace

IdentifiedCrs ProjectionBridge::identifyCrs(const QString& wkt) {
    constexpr int kEnoughConfidence = 70;
    ensureContext();
    IdentifiedCrs result;
    const QByteArray text = wkt.trimmed().toUtf8();
    PJ* crs = text.isEmpty() ? nullptr : proj_create(m_context, text.constData());
    if (!crs)
        return result;
    const PJ_TYPE type = proj_get_type(crs);
    if (type != PJ_TYPE_PROJECTED_CRS && type != PJ_TYPE_GEOGRAPHIC_2D_CRS &&
        type != PJ_TYPE_GEOGRAPHIC_3D_CRS && type != PJ_TYPE_BOUND_CRS) {
        proj_destroy(crs);
        return result;
    }
    result.readable = true;
    if (const char* name = proj_get_name(crs))
        result.name = QString::fromUtf8(name);
    if (const char* definition = proj_as_proj_string(m_context, crs, PJ_PROJ_4, nullptr))
        result.definition = QString::fromUtf8(definition).remove(QStringLiteral(" +type=crs"));
    for (const char* authority : {"EPSG", "ESRI"}) {
        const auto [code, confidence] = bestMatch(m_context, crs, authority);
        if (!code.isEmpty() && confidence >= kEnoughConfidence) {
            result.authority = QString::fromLatin1(authority);
            result.code = code;
            break;
        }
    }
    proj_destroy(crs);
    // Neither identified nor expressible in PROJ parameters: not usable.
    result.readable = !result.code.isEmpty() || !result.definition.isEmpty();
    return result;
}

ProjectedPoints Project_Points(const std::vector<double>& x, const std::vector<double>& y,
                               const QString& definition, bool forward) {
    ProjectedPoints failed{{QStringLiteral("0")}, {QStringLiteral("0")}, {}};
    failed.status =
        ProjectionStatus::failure(kErrorRejected, QStringLiteral("Project_Points"), definition);
    if (x.size() != y.size())
        return failed;
    std::vector<double> xs = x;
    std::vector<double> ys = y;
    if (!ProjectionBridge::instance().transform(definition, forward, xs.data(), ys.data(),
                                                xs.size()))
        return failed;
    ProjectedPoints result;
    result.x.reserve(qsizetype(xs.size()));
    result.y.reserve(qsizetype(ys.size()));
    for (std::size_t i = 0; i < xs.size(); ++i) {
        result.x.append(tenDecimals(xs[i]));
        result.y.append(tenDecimals(ys[i]));
    }
    return result;
}

} // namespace trekora
