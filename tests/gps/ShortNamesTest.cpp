// Waypoint names made to fit receivers with six-character identifiers.
#include "gps/ShortNames.h"
#include "support/QtPrinters.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace trekora::gps;

TEST(ShortNames, OnlyTheOlderFormatsLimitTheIdent) {
    for (const char* type : {"D100", "D103", "d103", "D107", "D403"})
        EXPECT_EQ(identLength(QString::fromLatin1(type)), 6) << type;
    for (const char* type : {"D108", "D110", "", "junk"})
        EXPECT_EQ(identLength(QString::fromLatin1(type)), 0) << type;
}

TEST(ShortNames, LongNamesStayDistinctAndReadable) {
    const QStringList names = shortNames({"CAMPSITE1", "CAMPSITE2", "CAMPSITE3"}, 6);
    EXPECT_EQ(names, QStringList({"CMPST1", "CMPST2", "CMPST3"}));
}

TEST(ShortNames, EveryResultFitsAndIsUnique) {
    struct Case {
        QStringList in;
        QStringList out;
    };
    for (const Case& c : {
             // Names that fit are never touched, even when a shortened one would want them.
             Case{{"CMPST1", "CAMPSITE1"}, {"CMPST1", "CMPST2"}},
             // Lower case, accents and signs become what the unit takes.
             Case{{"café-2", "Lac d'Été"}, {"CAFE2", "LACDET"}},
             // The same name twice is the same waypoint (a route passing it twice).
             Case{{"TRAILHEAD", "TRAILHEAD", "TRAILHEAD"}, {"TRALHD", "TRALHD", "TRALHD"}},
             // Nothing usable left: a generic name, numbered.
             Case{{"***", "!!"}, {"WPT", "WPT1"}},
             // Cut at six, keeping the number that tells them apart.
             Case{{"BRDGWTRFLL12", "BRDGWTRFLL13"}, {"BRDG12", "BRDG13"}},
             // Six letters alike after cutting: a number takes the last place.
             Case{{"BBBBBBBX", "BBBBBBBY"}, {"BBBBBB", "BBBBB1"}},
         }) {
        const QStringList out = shortNames(c.in, 6);
        EXPECT_EQ(out, c.out) << c.in.join(',').toStdString();
        for (int i = 0; i < c.in.size(); ++i)
            for (int j = 0; j < c.in.size(); ++j)
                if (c.in[i] != c.in[j]) {
                    EXPECT_NE(out[i], out[j]);
                }
    }
    // Hundreds of names with one prefix still come out distinct.
    QStringList many;
    for (int i = 0; i < 300; ++i)
        many << QStringLiteral("WAYPOINT");
    for (int i = 0; i < 300; ++i)
        many[i] += QLatin1Char('A' + i % 26) + QString::number(i / 26);
    const QStringList out = shortNames(many, 6);
    QSet<QString> distinct(out.begin(), out.end());
    EXPECT_EQ(distinct.size(), 300);
    for (const QString& name : out)
        EXPECT_LE(name.size(), 6);
}
