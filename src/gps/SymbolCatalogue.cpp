#include "gps/SymbolCatalogue.h"

#include "core/KeyedCollection.h"
#include "core/TextConventions.h"

#include <algorithm>
#include <array>
#include <utility>

namespace trekora {

namespace {

struct CatalogueLine {
    int code;
    const char* name;
};

constexpr CatalogueLine kCatalogue[] = {
    {0, "Marina"},
    {1, "Bell"},
    {2, "Green Diamond"},
    {3, "Red Diamond"},
    {4, "Diver Down Flag 1"},
    {5, "Diver Down Flag 2"},
    {6, "Bank"},
    {7, "Fishing Area"},
    {8, "Gas Station"},
    {9, "Horn"},
    {10, "Residence"},
    {11, "Restaurant"},
    {12, "Light"},
    {13, "Bar"},
    {14, "Skull and Crossbones"},
    {15, "Green Square"},
    {16, "Red Square"},
    {17, "White Buoy"},
    {18, "Waypoint"},
    {19, "Shipwreck"},
    {21, "Man Overboard"},
    {22, "Navaid, Amber"},
    {23, "Navaid, Black"},
    {24, "Navaid, Blue"},
    {25, "Navaid, Green"},
    {26, "Navaid, Green/Red"},
    {27, "Navaid, Green/White"},
    {28, "Navaid, Orange"},
    {29, "Navaid, Red"},
    {30, "Navaid, Red/Green"},
    {31, "Navaid, Red/White"},
    {32, "Navaid, Violet"},
    {33, "Navaid, White"},
    {34, "Navaid, White/Green"},
    {35, "Navaid, White/Red"},
    {36, "White Dot"},
    {37, "Radio Beacon"},
    {150, "Boat Ramp"},
    {151, "Campground"},
    {152, "Restroom"},
    {153, "Shower"},
    {154, "Drinking Water"},
    {155, "Telephone"},
    {156, "Medical Facility"},
    {157, "Information"},
    {158, "Parking Area"},
    {159, "Park"},
    {160, "Picnic Area"},
    {161, "Scenic Area"},
    {162, "Skiing Area"},
    {163, "Swimming Area"},
    {164, "Dam"},
    {165, "Controlled Area"},
    {166, "Danger Area"},
    {167, "Restricted Area"},
    {169, "Ball Park"},
    {170, "Car"},
    {171, "Hunting Area"},
    {172, "Shopping Center"},
    {173, "Lodging"},
    {174, "Mine"},
    {175, "Trail Head"},
    {176, "Truck Stop"},
    {177, "Exit"},
    {178, "Flag"},
    {179, "Circle with X"},
    {8195, "Mile Marker"},
    {8196, "TracBack Point"},
    {8197, "Golf Course"},
    {8198, "City (Small)"},
    {8199, "City (Medium)"},
    {8200, "City (Large)"},
    {8203, "City (Capitol)"},
    {8204, "Amusement Park"},
    {8205, "Bowling"},
    {8206, "Car Rental"},
    {8207, "Car Repair"},
    {8208, "Fast Food"},
    {8209, "Fitness Center"},
    {8210, "Movie Theater"},
    {8211, "Museum"},
    {8212, "Pharmacy"},
    {8213, "Pizza"},
    {8214, "Post Office"},
    {8215, "RV Park"},
    {8216, "School"},
    {8217, "Stadium"},
    {8218, "Department Store"},
    {8219, "Zoo"},
    {8220, "Convenience Store"},
    {8221, "Live Theater"},
    {8226, "Scales"},
    {8227, "Toll Booth"},
    {8233, "Bridge"},
    {8234, "Building"},
    {8235, "Cemetery"},
    {8236, "Church"},
    {8237, "Civil"},
    {8238, "Crossing"},
    {8239, "Ghost Town"},
    {8240, "Levee"},
    {8241, "Military"},
    {8242, "Oil Field"},
    {8243, "Tunnel"},
    {8244, "Beach"},
    {8245, "Forest"},
    {8246, "Summit"},
    {8255, "Geocache"},
    {8256, "Geocache Found"},
    {8257, "Contact, Smiley"},
    {8258, "Contact, Ball Cap"},
    {8259, "Contact, Big Ears"},
    {8260, "Contact, Spike"},
    {8261, "Contact, Goatee"},
    {8262, "Contact, Afro"},
    {8263, "Contact, Dreadlocks"},
    {8264, "Contact, Female1"},
    {8265, "Contact, Female2"},
    {8266, "Contact, Female3"},
    {8267, "Contact, Ranger"},
    {8268, "Contact, Kung-Fu"},
    {8269, "Contact, Sumo"},
    {8270, "Contact, Pirate"},
    {8271, "Contact, Biker"},
    {8272, "Contact, Alien"},
    {8273, "Contact, Bug"},
    {8274, "Contact, Cat"},
    {8275, "Contact, Dog"},
    {8276, "Contact, Pig"},
    {8282, "Water Hydrant"},
    {16384, "Airport"},
    {16388, "Heliport"},
    {16389, "Private Field"},
    {16390, "Soft Field"},
    {16391, "Tall Tower"},
    {16392, "Short Tower"},
    {16393, "Glider Area"},
    {16394, "Ultralight Area"},
    {16395, "Parachute Area"},
    {16402, "Seaplane Base"},
};

// The 16 symbols a D103 receiver knows: (D103 code, table code).
constexpr std::array<std::pair<std::int16_t, std::int16_t>, 16> kD103Pairs{{
    {0, 18},
    {1, 10},
    {2, 8},
    {3, 170},
    {4, 7},
    {5, 150},
    {6, 0},
    {7, 19},
    {8, 177},
    {9, 14},
    {10, 178},
    {11, 151},
    {12, 179},
    {13, 171},
    {14, 156},
    {15, 8196},
}};

std::vector<SymbolEntry> buildEntries() {
    std::vector<SymbolEntry> entries;
    entries.reserve(std::size(kCatalogue));
    for (const CatalogueLine& line : kCatalogue) {
        const int index = int(entries.size());
        entries.push_back({line.code, QString::fromLatin1(line.name),
                           QLatin1Char('*') + QString::number(line.code), index});
    }
    return entries;
}

} // namespace

namespace SymbolCatalogue {

const std::vector<SymbolEntry>& entries() {
    static const std::vector<SymbolEntry> all = buildEntries();
    return all;
}

const SymbolEntry* findByKey(const QString& key) {
    for (const SymbolEntry& entry : entries())
        if (entry.key == key)
            return &entry;
    return nullptr;
}

const SymbolEntry* findByCode(int code) {
    for (const SymbolEntry& entry : entries())
        if (entry.code == code)
            return &entry;
    return nullptr;
}

QString iconFile(int code) {
    return QStringLiteral("symbols/%1.png").arg(code);
}

} // namespace SymbolCatalogue

SymbolMap Load_d103WptSymbols() {
    SymbolMap map;
    for (const auto& [d103, table] : kD103Pairs)
        SetCollectionItem(map, d103, QString::number(table));
    return map;
}

SymbolMap Load_d1xxWptSymbols() {
    SymbolMap map;
    for (const auto& [d103, table] : kD103Pairs)
        SetCollectionItem(map, table, QString::number(d103));
    return map;
}

bool usesD103Symbols(const QString& waypointType) {
    return text::sameText(waypointType, u"d103");
}

std::int16_t symbolFromD103(const SymbolMap& d1xxMap, std::int16_t d103Code) {
    const QString key = QString::number(d103Code);
    if (itemExists(d1xxMap, key))
        return d1xxMap.value(key);
    return d1xxMap.value(QStringLiteral("0"), 18);
}

std::int16_t symbolToD103(const SymbolMap& d103Map, const QString& symbolText) {
    const QString key = text::trim(symbolText);
    return itemExists(d103Map, key) ? d103Map.value(key) : std::int16_t(0);
}

std::vector<SymbolListItem> FillSymbolList(bool nameFirst, bool d103Only,
                                           const SymbolMap& d103Map) {
    std::vector<SymbolListItem> items;
    for (const SymbolEntry& entry : SymbolCatalogue::entries()) {
        const QString code = entry.key.mid(1);
        if (d103Only && !itemExists(d103Map, code))
            continue;
        const QString text = nameFirst ? entry.name + QStringLiteral(" (") + code + u')'
                                       : code + QStringLiteral(" (") + entry.name + u')';
        items.push_back({text, entry.key, entry.index, entry.code});
    }
    // The list view sorts its items as text, without regard to case.
    std::stable_sort(items.begin(), items.end(), [](const auto& a, const auto& b) {
        return QString::compare(a.text, b.text, Qt::CaseInsensitive) < 0;
    });
    return items;
}

} // namespace trekora
