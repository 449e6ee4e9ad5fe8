#pragma once

#include <QHash>
#include <QString>
#include <cstdint>
#include <vector>

// The waypoint symbols: the catalogue of codes, names and icon keys the data
// table uses, the two maps between the table's numbering and the short
// numbering of D103 receivers, and the item list of the symbol picker.
namespace trekora {

struct SymbolEntry {
    int code = 0;
    QString name;
    QString key;   // "*" + code, the icon key of the symbol image list
    int index = 0; // position in the catalogue, the icon index
};

// Keyed collection: key = a code as decimal text, item = the other code.
using SymbolMap = QHash<QString, std::int16_t>;

namespace SymbolCatalogue {

// Every symbol in ascending code order (140 entries).
const std::vector<SymbolEntry>& entries();
// The entry with this icon key ("*18"), or nullptr.
const SymbolEntry* findByKey(const QString& key);
// The entry with this code, or nullptr.
const SymbolEntry* findByCode(int code);
// Icon file of a code below the data directory ("symbols/18.png").
QString iconFile(int code);

} // namespace SymbolCatalogue

// Table code → D103 code, keyed by the table code's text.
SymbolMap Load_d103WptSymbols();
// D103 code → table code, keyed by the D103 code's text.
SymbolMap Load_d1xxWptSymbols();

// True when a receiver's waypoint type uses the D103 numbering ("d103" in any case).
bool usesD103Symbols(const QString& waypointType);

// Download: the table code of a symbol a D103 receiver sent. A code the map
// does not hold is read as D103's own default (code 0, the Waypoint symbol).
std::int16_t symbolFromD103(const SymbolMap& d1xxMap, std::int16_t d103Code);
// Upload: the D103 code for a symbol cell's text; text the map does not hold
// sends 0.
std::int16_t symbolToD103(const SymbolMap& d103Map, const QString& symbolText);

// One line of the symbol picker's list.
struct SymbolListItem {
    QString text; // "18 (Waypoint)" or "Waypoint (18)"
    QString key;  // "*18"
    int iconIndex = 0;
    int code = 0;
};

// The picker's list in display order (ascending by item text, compared as
// text): every catalogue entry, or only those of the table-to-D103 map.
std::vector<SymbolListItem> FillSymbolList(bool nameFirst, bool d103Only, const SymbolMap& d103Map);

} // namespace trekora
