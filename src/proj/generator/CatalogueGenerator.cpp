// Writes the projection catalogue files "epsg" and "esri" and the NAD27 grid
// list from the installed PROJ database. Run at build time:
//
//   trekora_catalogue_generator <output dir>
//
// Catalogue line format: a header "# <group> / <description>" (or "# <name>"
// for a system without projection) followed by "<code> +param ... <>".
// Each definition holds the PROJ parameters that take WGS 84
// longitude/latitude to the system's x/y.

#include <proj.h>
#include <proj_experimental.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// The NAD27 grid files the program has always looked for, in the order it
// tries them; ntv1_can.dat always closes the clause.
const std::vector<std::string> kClassicNad27Grids = {
    "stlrnc.dat", "stpaul.dat",   "alaska.dat", "fl.dat", "hawaii.dat", "md.dat",
    "prvi.dat",   "stgeorge.dat", "tn.dat",     "wi.dat", "wo.dat",     "conus.dat"};
const std::string kClosingNad27Grid = "ntv1_can.dat";

struct Entry {
    std::string code;
    std::string name;
    std::string definition;
};

bool contains(const std::string& s, const char* piece) {
    return s.find(piece) != std::string::npos;
}

std::string stripTypeCrs(std::string s) {
    const std::string tag = " +type=crs";
    for (auto at = s.find(tag); at != std::string::npos; at = s.find(tag))
        s.erase(at, tag.size());
    while (!s.empty() && s.back() == ' ')
        s.pop_back();
    return s;
}

std::string projString(PJ_CONTEXT* ctx, const PJ* crs) {
    const char* text = proj_as_proj_string(ctx, crs, PJ_PROJ_4, nullptr);
    return text ? std::string(text) : std::string();
}

// The datum shifts to WGS 84 that PROJ itself takes: for each system, the
// operation cs2cs uses at the middle of the system's area (PROJ picks among
// regional variants point by point), when it is one that +towgs84 can hold.
// Many systems share one geodetic system; its conversion is built once.
class PreferredShifts {
public:
    explicit PreferredShifts(PJ_CONTEXT* ctx)
        : m_ctx(ctx),
          m_wgs84(proj_create_from_database(ctx, "EPSG", "4326", PJ_CATEGORY_CRS, 0, nullptr)) {}
    ~PreferredShifts() {
        for (auto& [key, conversion] : m_cache)
            proj_destroy(conversion);
        for (auto& [key, ops] : m_operations)
            proj_list_destroy(ops);
        proj_destroy(m_wgs84);
    }
    PreferredShifts(const PreferredShifts&) = delete;
    PreferredShifts& operator=(const PreferredShifts&) = delete;

    // The definition of `crs` bound to WGS 84 through that shift, or empty.
    std::string boundDefinition(PJ* crs) {
        double west = 0, south = 0, east = 0, north = 0;
        if (!proj_get_area_of_use(m_ctx, crs, &west, &south, &east, &north, nullptr) ||
            west <= -1000)
            return {};
        double lon = east >= west ? (west + east) / 2 : (west + east + 360) / 2;
        if (lon > 180)
            lon -= 360;
        const double lat = (south + north) / 2;
        PJ* geodetic = proj_crs_get_geodetic_crs(m_ctx, crs);
        PJ* conversion = geodetic ? conversionFor(geodetic) : nullptr;
        proj_destroy(geodetic);
        if (!conversion)
            return {};
        // Geodetic systems of the database take latitude first, in degrees.
        proj_trans(conversion, PJ_FWD, proj_coord(lat, lon, 0, 0));
        PJ* used = proj_trans_get_last_used_operation(conversion);
        std::string def;
        if (PJ* bound = used ? proj_crs_create_bound_crs(m_ctx, crs, m_wgs84, used) : nullptr) {
            def = projString(m_ctx, bound);
            proj_destroy(bound);
        }
        proj_destroy(used);
        return contains(def, "+towgs84=") ? def : firstShift(crs);
    }

private:
    // Where cs2cs would use a grid or no shift at all: the first operation
    // of PROJ's list that +towgs84 can hold.
    std::string firstShift(PJ* crs) {
        PJ* geodetic = proj_crs_get_geodetic_crs(m_ctx, crs);
        if (!geodetic)
            return {};
        const std::string key = keyOf(geodetic);
        auto found = m_operations.find(key);
        if (found == m_operations.end()) {
            PJ_OPERATION_FACTORY_CONTEXT* factory =
                proj_create_operation_factory_context(m_ctx, nullptr);
            proj_operation_factory_context_set_grid_availability_use(
                m_ctx, factory, PROJ_GRID_AVAILABILITY_DISCARD_OPERATION_IF_MISSING_GRID);
            found =
                m_operations.emplace(key, proj_create_operations(m_ctx, geodetic, m_wgs84, factory))
                    .first;
            proj_operation_factory_context_destroy(factory);
        }
        proj_destroy(geodetic);
        PJ_OBJ_LIST* ops = found->second;
        std::string def;
        const int count = ops ? proj_list_get_count(ops) : 0;
        for (int i = 0; i < count && !contains(def, "+towgs84="); ++i) {
            PJ* op = proj_list_get(m_ctx, ops, i);
            if (PJ* bound = op ? proj_crs_create_bound_crs(m_ctx, crs, m_wgs84, op) : nullptr) {
                def = projString(m_ctx, bound);
                proj_destroy(bound);
            }
            proj_destroy(op);
        }
        return contains(def, "+towgs84=") ? def : std::string();
    }

    static std::string keyOf(PJ* geodetic) {
        const char* authority = proj_get_id_auth_name(geodetic, 0);
        const char* code = proj_get_id_code(geodetic, 0);
        return std::string(authority ? authority : "") + ":" +
               (code ? code : proj_get_name(geodetic));
    }

    PJ* conversionFor(PJ* geodetic) {
        const std::string key = keyOf(geodetic);
        if (auto found = m_cache.find(key); found != m_cache.end())
            return found->second;
        PJ* conversion = nullptr;
        if (m_wgs84)
            conversion = proj_create_crs_to_crs_from_pj(m_ctx, geodetic, m_wgs84, nullptr, nullptr);
        m_cache.emplace(key, conversion);
        return conversion;
    }

    PJ_CONTEXT* m_ctx;
    PJ* m_wgs84;
    std::map<std::string, PJ*> m_cache;
    std::map<std::string, PJ_OBJ_LIST*> m_operations;
};

// The PROJ parameters of a coordinate system. A datum PROJ cannot name gets
// its shift to WGS 84 spelled out (+towgs84), the one PROJ's own conversion
// from WGS 84 prefers, so that our results agree with cs2cs and with GIS
// programs reading the system's .prj. NAD27 keeps its name: the program adds
// its grid clause when converting.
std::string definitionOf(PJ_CONTEXT* ctx, PJ* crs, PreferredShifts& shifts) {
    std::string def = projString(ctx, crs);
    if (def.empty())
        return def;
    if (!contains(def, "+datum=") && !contains(def, "+towgs84=") && !contains(def, "+nadgrids=")) {
        std::string bound = shifts.boundDefinition(crs);
        if (bound.empty())
            if (PJ* b = proj_crs_create_bound_crs_to_WGS84(ctx, crs, nullptr)) {
                bound = projString(ctx, b);
                proj_destroy(b);
            }
        if (contains(bound, "+towgs84="))
            def = bound;
    }
    return stripTypeCrs(def);
}

bool codeLess(const std::string& a, const std::string& b) {
    const bool aNum = std::all_of(a.begin(), a.end(), ::isdigit);
    const bool bNum = std::all_of(b.begin(), b.end(), ::isdigit);
    if (aNum && bNum && a.size() != b.size())
        return a.size() < b.size();
    if (aNum != bNum)
        return aNum;
    return a < b;
}

std::vector<std::string> codesOf(PJ_CONTEXT* ctx, const char* authority) {
    std::vector<std::string> codes;
    for (PJ_TYPE type : {PJ_TYPE_PROJECTED_CRS, PJ_TYPE_GEOGRAPHIC_2D_CRS}) {
        PROJ_STRING_LIST list = proj_get_codes_from_database(ctx, authority, type, 0);
        for (auto p = list; p && *p; ++p)
            codes.emplace_back(*p);
        proj_string_list_destroy(list);
    }
    std::sort(codes.begin(), codes.end(), codeLess);
    codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
    return codes;
}

std::vector<Entry> catalogueOf(PJ_CONTEXT* ctx, const char* authority) {
    std::vector<Entry> entries;
    PreferredShifts shifts(ctx);
    for (const auto& code : codesOf(ctx, authority)) {
        PJ* crs =
            proj_create_from_database(ctx, authority, code.c_str(), PJ_CATEGORY_CRS, 0, nullptr);
        if (!crs)
            continue;
        const char* name = proj_get_name(crs);
        std::string definition = definitionOf(ctx, crs, shifts);
        if (name && !definition.empty() && !contains(definition, "<") && !contains(definition, ">"))
            entries.push_back({code, name, definition});
        proj_destroy(crs);
    }
    return entries;
}

// EPSG names already read "<geographic system> / <projection>", which is the
// header's group/description split; ESRI names become whole groups, so any
// "/" in them is replaced.
std::string headerOf(const Entry& entry, bool esri) {
    std::string name = entry.name;
    if (esri)
        std::replace(name.begin(), name.end(), '/', '-');
    return "# " + name;
}

bool writeCatalogue(const fs::path& path, const std::vector<Entry>& entries, bool esri) {
    const fs::path temp = path.string() + ".new";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        for (const auto& entry : entries)
            out << headerOf(entry, esri) << '\n'
                << '<' << entry.code << "> " << entry.definition << " <>\n";
        if (!out.flush())
            return false;
    }
    fs::rename(temp, path);
    return true;
}

// Grids the installed PROJ data offers for NAD27 to NAD83 / WGS 84. The ones
// present are copied beside the catalogue and named in the grid list after
// the classic names.
std::vector<std::string> installedNad27Grids(PJ_CONTEXT* ctx, const fs::path& outDir) {
    std::vector<std::string> names;
    PJ* nad27 = proj_create_from_database(ctx, "EPSG", "4267", PJ_CATEGORY_CRS, 0, nullptr);
    for (const char* target : {"4269", "4326"}) {
        PJ* to = proj_create_from_database(ctx, "EPSG", target, PJ_CATEGORY_CRS, 0, nullptr);
        PJ_OPERATION_FACTORY_CONTEXT* factory = proj_create_operation_factory_context(ctx, nullptr);
        proj_operation_factory_context_set_grid_availability_use(ctx, factory,
                                                                 PROJ_GRID_AVAILABILITY_IGNORED);
        PJ_OBJ_LIST* ops = nad27 && to ? proj_create_operations(ctx, nad27, to, factory) : nullptr;
        const int count = ops ? proj_list_get_count(ops) : 0;
        for (int i = 0; i < count; ++i) {
            PJ* op = proj_list_get(ctx, ops, i);
            const int grids = proj_coordoperation_get_grid_used_count(ctx, op);
            for (int g = 0; g < grids; ++g) {
                const char* shortName = nullptr;
                const char* fullName = nullptr;
                int available = 0;
                if (!proj_coordoperation_get_grid_used(ctx, op, g, &shortName, &fullName, nullptr,
                                                       nullptr, nullptr, nullptr, &available))
                    continue;
                if (!available || !fullName || !*fullName || !fs::is_regular_file(fullName))
                    continue;
                const std::string file = fs::path(fullName).filename().string();
                if (std::find(names.begin(), names.end(), file) != names.end())
                    continue;
                std::error_code ignored;
                fs::copy_file(fullName, outDir / file, fs::copy_options::overwrite_existing,
                              ignored);
                if (!ignored)
                    names.push_back(file);
            }
            proj_destroy(op);
        }
        proj_list_destroy(ops);
        proj_operation_factory_context_destroy(factory);
        proj_destroy(to);
    }
    proj_destroy(nad27);
    return names;
}

bool writeGridList(const fs::path& path, const std::vector<std::string>& extra) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "# NAD27 datum-shift grids, tried in this order when present beside this file.\n";
    for (const auto& name : kClassicNad27Grids)
        out << name << '\n';
    for (const auto& name : extra)
        if (name != kClosingNad27Grid)
            out << name << '\n';
    out << kClosingNad27Grid << '\n';
    return bool(out.flush());
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << argv[0] << " <output dir>\n";
        return 2;
    }
    const fs::path outDir = argv[1];
    std::error_code ec;
    fs::create_directories(outDir, ec);
    PJ_CONTEXT* ctx = proj_context_create();
    proj_context_set_enable_network(ctx, 0);
    proj_log_level(ctx, PJ_LOG_NONE);

    int status = 0;
    for (const auto& [authority, file, esri] :
         {std::tuple{"EPSG", "epsg", false}, std::tuple{"ESRI", "esri", true}}) {
        const auto entries = catalogueOf(ctx, authority);
        if (entries.empty() || !writeCatalogue(outDir / file, entries, esri)) {
            std::cerr << "could not write the " << file << " catalogue\n";
            status = 1;
        }
    }
    if (!writeGridList(outDir / "nad27grids", installedNad27Grids(ctx, outDir))) {
        std::cerr << "could not write the NAD27 grid list\n";
        status = 1;
    }
    proj_context_destroy(ctx);
    return status;
}
