#include "table/FieldCatalogue.h"

#include <QHash>

namespace trekora {

namespace {

const QStringList kWaypointFields = {
    "type",      "ident",   "lat",  "long",       "y_proj",  "x_proj",   "comment", "display",
    "symbol",    "unused1", "dist", "prox_index", "color",   "altitude", "depth",   "wpt_class",
    "sub_class", "attrib",  "link", "state",      "country", "city",     "address", "facility",
    "crossroad", "unused2", "ete",  "dtype",      "model",   "filename"};

const QStringList kTrackFields = {"type",   "ident",   "lat",     "long",    "y_proj",
                                  "x_proj", "new_seg", "display", "color",   "altitude",
                                  "depth",  "time",    "model",   "filename"};

const QStringList kRouteFields = {
    "type",    "ident", "lat",        "long",     "y_proj",   "x_proj",  "new_seg",   "rnumber",
    "rident",  "rcmnt", "rlcls",      "rlsubcls", "rlident",  "comment", "display",   "symbol",
    "unused1", "dist",  "prox_index", "color",    "altitude", "depth",   "wpt_class", "sub_class",
    "attrib",  "link",  "state",      "country",  "city",     "address", "facility",  "crossroad",
    "unused2", "ete",   "dtype",      "model",    "filename"};

const QStringList kRealTimeFields = {
    "type", "ident", "lat",   "long", "y_proj", "x_proj", "alt",  "epe",     "eph",
    "epv",  "pdop",  "hdop",  "vdop", "speed",  "course", "mvar", "mdir",    "datum",
    "pfix", "east",  "north", "up",   "depth",  "date",   "time", "filename"};

const QStringList kUnionFields = {
    "type",      "ident",   "lat",        "long",     "y_proj",   "x_proj",  "new_seg", "rnumber",
    "rident",    "rcmnt",   "rlcls",      "rlsubcls", "rlident",  "comment", "display", "symbol",
    "unused1",   "dist",    "prox_index", "color",    "altitude", "alt",     "depth",   "wpt_class",
    "sub_class", "attrib",  "link",       "state",    "country",  "city",    "address", "facility",
    "crossroad", "unused2", "ete",        "dtype",    "epe",      "eph",     "epv",     "pfix",
    "east",      "north",   "up",         "date",     "time",     "model",   "filename"};

struct CatalogueRow {
    const char* key;
    const char* storedName; // nullptr: same as the key
    const char* type;
    int length;
    int decimals;
    int ordinal;
};

const CatalogueRow kCatalogue[] = {
    {"type", nullptr, "C", 10, 0, 1},        {"ident", nullptr, "C", 24, 0, 2},
    {"lat", nullptr, "N", 18, 8, 3},         {"long", nullptr, "N", 18, 8, 4},
    {"y_proj", nullptr, "N", 18, 8, 5},      {"x_proj", nullptr, "N", 18, 8, 6},
    {"new_seg", nullptr, "C", 10, 0, 7},     {"rnumber", nullptr, "C", 12, 0, 8},
    {"rident", nullptr, "C", 10, 0, 9},      {"rcmnt", nullptr, "C", 10, 0, 10},
    {"rlcls", nullptr, "N", 12, 0, 11},      {"rlsubcls", nullptr, "C", 10, 0, 12},
    {"rlident", nullptr, "C", 10, 0, 13},    {"comment", nullptr, "C", 50, 0, 14},
    {"display", nullptr, "C", 10, 0, 15},    {"symbol", nullptr, "C", 10, 0, 16},
    {"unused1", nullptr, "C", 5, 0, 17},     {"dist", nullptr, "N", 12, 2, 18},
    {"prox_index", nullptr, "C", 10, 0, 19}, {"color", nullptr, "C", 10, 0, 20},
    {"altitude", nullptr, "N", 12, 2, 21},   {"alt", nullptr, "N", 12, 2, 22},
    {"depth", nullptr, "N", 12, 2, 23},      {"wpt_class", nullptr, "C", 10, 0, 24},
    {"sub_class", nullptr, "C", 10, 0, 25},  {"attrib", nullptr, "C", 10, 0, 26},
    {"link", nullptr, "C", 10, 0, 27},       {"state", nullptr, "C", 15, 0, 28},
    {"country", nullptr, "C", 15, 0, 29},    {"city", nullptr, "C", 15, 0, 30},
    {"address", nullptr, "C", 15, 0, 31},    {"facility", nullptr, "C", 15, 0, 32},
    {"crossroad", nullptr, "C", 15, 0, 33},  {"unused2", "unused", "C", 5, 0, 34},
    {"ete", nullptr, "C", 10, 0, 35},        {"dtype", nullptr, "C", 10, 0, 36},
    {"epe", nullptr, "N", 10, 2, 37},        {"eph", nullptr, "N", 10, 2, 38},
    {"epv", nullptr, "N", 10, 2, 39},        {"pfix", nullptr, "N", 10, 0, 40},
    {"east", nullptr, "C", 10, 0, 41},       {"north", nullptr, "C", 10, 0, 42},
    {"up", nullptr, "N", 10, 2, 43},         {"date", nullptr, "C", 20, 0, 44},
    {"time", nullptr, "C", 20, 0, 45},       {"model", nullptr, "C", 20, 0, 46},
    {"filename", nullptr, "C", 254, 0, 47},  {"pdop", nullptr, "N", 10, 2, 48},
    {"hdop", nullptr, "N", 10, 2, 49},       {"vdop", nullptr, "N", 10, 2, 50},
    {"speed", nullptr, "N", 10, 2, 51},      {"course", nullptr, "N", 10, 2, 52},
    {"mvar", nullptr, "N", 10, 2, 53},       {"mdir", nullptr, "N", 10, 2, 54},
    {"datum", nullptr, "C", 20, 0, 57},
};

const QHash<QString, FieldDef>& catalogue() {
    static const QHash<QString, FieldDef> entries = [] {
        QHash<QString, FieldDef> map;
        for (const CatalogueRow& row : kCatalogue) {
            const QString key = QString::fromLatin1(row.key);
            map.insert(key, FieldDef{row.storedName ? QString::fromLatin1(row.storedName) : key,
                                     QString::fromLatin1(row.type), row.length, row.decimals,
                                     row.ordinal});
        }
        return map;
    }();
    return entries;
}

} // namespace

QStringList RecordType::all() {
    return {Waypoint, Track, Route, RealTime};
}

QString FieldDef::definition() const {
    return QStringLiteral("%1,%2,%3,%4").arg(storedName, type).arg(length).arg(decimals);
}

QStringList fieldNames(const QString& typeKey) {
    if (typeKey == RecordType::Waypoint)
        return kWaypointFields;
    if (typeKey == RecordType::Track)
        return kTrackFields;
    if (typeKey == RecordType::Route)
        return kRouteFields;
    if (typeKey == RecordType::RealTime)
        return kRealTimeFields;
    return kUnionFields;
}

QString GetFieldList(const QString& typeKey) {
    return fieldNames(typeKey).join(';');
}

std::optional<FieldDef> catalogueEntry(const QString& fieldName) {
    const auto& entries = catalogue();
    auto it = entries.constFind(fieldName);
    if (it == entries.cend())
        it = entries.constFind(fieldName.toLower());
    if (it == entries.cend())
        return std::nullopt;
    return *it;
}

QStringList catalogueKeys() {
    QStringList keys;
    for (const CatalogueRow& row : kCatalogue)
        keys << QString::fromLatin1(row.key);
    return keys;
}

} // namespace trekora
