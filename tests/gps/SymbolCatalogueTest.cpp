#include "gps/SymbolCatalogue.h"

#include <QFileInfo>
#include <QImage>
#include <QSet>
#include <gtest/gtest.h>

using namespace trekora;

namespace {

QStringList texts(const std::vector<SymbolListItem>& items) {
    QStringList out;
    for (const SymbolListItem& item : items)
        out << item.text;
    return out;
}

} // namespace

TEST(SymbolCatalogue, EntriesAreOrderedUniqueAndKeyed) {
    const auto& entries = SymbolCatalogue::entries();
    ASSERT_EQ(entries.size(), 140u);
    QSet<int> codes;
    for (size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(entries[i].index, int(i));
        EXPECT_EQ(entries[i].key, "*" + QString::number(entries[i].code));
        if (i > 0) {
            EXPECT_LT(entries[i - 1].code, entries[i].code);
        }
        codes.insert(entries[i].code);
    }
    EXPECT_EQ(entries.front().name, "Marina");
    EXPECT_EQ(entries.back().name, "Seaplane Base");
    EXPECT_EQ(SymbolCatalogue::findByKey("*18")->name, "Waypoint");
    EXPECT_EQ(SymbolCatalogue::findByCode(8264)->name, "Contact, Female1");
    EXPECT_EQ(SymbolCatalogue::findByCode(20), nullptr);
}

TEST(SymbolCatalogue, EveryCodeHasASixteenPixelIcon) {
    for (const SymbolEntry& entry : SymbolCatalogue::entries()) {
        const QString path =
            QStringLiteral(TREKORA_SOURCE_DIR "/data/") + SymbolCatalogue::iconFile(entry.code);
        const QImage icon(path);
        EXPECT_FALSE(icon.isNull()) << path.toStdString();
        EXPECT_EQ(icon.size(), QSize(16, 16)) << path.toStdString();
        EXPECT_LT(QFileInfo(path).size(), 2048) << path.toStdString();
    }
}

TEST(SymbolCatalogue, D103MapsHoldTheSameSixteenPairs) {
    const SymbolMap toD103 = Load_d103WptSymbols();
    const SymbolMap fromD103 = Load_d1xxWptSymbols();
    ASSERT_EQ(toD103.size(), 16);
    ASSERT_EQ(fromD103.size(), 16);
    for (auto it = fromD103.cbegin(); it != fromD103.cend(); ++it) {
        EXPECT_EQ(toD103.value(QString::number(it.value())), it.key().toShort());
        EXPECT_NE(SymbolCatalogue::findByCode(it.value()), nullptr) << it.value();
    }
}

TEST(SymbolCatalogue, TranslationsBetweenNumberings) {
    const SymbolMap toD103 = Load_d103WptSymbols();
    const SymbolMap fromD103 = Load_d1xxWptSymbols();
    struct Upload {
        const char* cell;
        std::int16_t sent;
    };
    for (const Upload& c : {Upload{"36", 0}, Upload{"18", 0}, Upload{"8196", 15}, Upload{"170", 3},
                            Upload{"0", 6}, Upload{"abc", 0}, Upload{"", 0}})
        EXPECT_EQ(symbolToD103(toD103, c.cell), c.sent) << c.cell;
    EXPECT_EQ(symbolFromD103(fromD103, 15), 8196);
    EXPECT_EQ(symbolFromD103(fromD103, 6), 0);
    EXPECT_EQ(symbolFromD103(fromD103, 0), 18);
    // Codes beyond the D103 range become D103's default, the Waypoint symbol.
    EXPECT_EQ(symbolFromD103(fromD103, 16), 18);
    EXPECT_EQ(symbolFromD103(fromD103, -1), 18);

    EXPECT_TRUE(usesD103Symbols("D103"));
    EXPECT_TRUE(usesD103Symbols("d103"));
    EXPECT_FALSE(usesD103Symbols("D108"));
}

TEST(SymbolCatalogue, PickerListOrderAndFilter) {
    const SymbolMap toD103 = Load_d103WptSymbols();
    const QStringList byCode = texts(FillSymbolList(false, false, toD103));
    ASSERT_EQ(byCode.size(), 140);
    EXPECT_EQ(byCode.front(), "0 (Marina)");
    EXPECT_LT(byCode.indexOf("150 (Boat Ramp)"), byCode.indexOf("16 (Red Square)"));
    EXPECT_LT(byCode.indexOf("16384 (Airport)"), byCode.indexOf("17 (White Buoy)"));

    const QStringList byName = texts(FillSymbolList(true, false, toD103));
    EXPECT_EQ(byName.front(), "Airport (16384)");
    EXPECT_TRUE(byName.contains("Waypoint (18)"));
    // Compared without regard to case, as the list view sorts.
    EXPECT_LT(byName.indexOf("Radio Beacon (37)"), byName.indexOf("RV Park (8215)"));

    const QStringList d103 = texts(FillSymbolList(false, true, toD103));
    ASSERT_EQ(d103.size(), 16);
    EXPECT_EQ(d103.mid(0, 3),
              QStringList({"0 (Marina)", "10 (Residence)", "14 (Skull and Crossbones)"}));
    EXPECT_FALSE(d103.contains("36 (White Dot)"));

    const std::vector<SymbolListItem> items = FillSymbolList(true, true, toD103);
    for (const SymbolListItem& item : items) {
        const SymbolEntry& entry = SymbolCatalogue::entries()[size_t(item.iconIndex)];
        EXPECT_EQ(entry.key, item.key);
        EXPECT_EQ(entry.code, item.code);
    }
}
