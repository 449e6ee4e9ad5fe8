#include "gps/PositionSource.h"
#include "gps/link/FrameCodec.h"
#include "gps/protocol/DataTypes.h"
#include "support/TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace trekora;
using namespace trekora::gps;

namespace {

struct Fixes {
    explicit Fixes(PositionSource& source) {
        QObject::connect(&source, &PositionSource::positionReceived,
                         [this](const PositionFix& fix) { list.append(fix); });
    }
    QList<PositionFix> list;
};

QList<QByteArray> logLines(const QString& name) {
    QFile file(test::testData(QStringLiteral("nmea/") + name));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines;
    for (const QByteArray& line : file.readAll().split('\n'))
        if (!line.startsWith('#') && !line.trimmed().isEmpty())
            lines.append(line.trimmed());
    return lines;
}

struct PvtCollector : FrameSink {
    QList<PvtRecord> records;
    void onPacket(std::uint8_t id, QByteArrayView data) override {
        PvtRecord pvt;
        if (id == 51 && decodePvt(800, data, pvt))
            records.append(pvt);
    }
    void onLine(QByteArrayView) override {}
    void onFrameError(FrameError, std::uint8_t) override {}
};

} // namespace

TEST(PositionSource, ReceiverPvtStreamGivesFixesWithUtcTime) {
    QFile file(test::testData(QStringLiteral("nmea/garmin18x-bin.log")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray bytes = file.readAll();
    while (bytes.startsWith('#'))
        bytes = bytes.mid(bytes.indexOf('\n') + 1);
    PvtCollector collector;
    FrameDecoder decoder(collector);
    decoder.feed(bytes);
    ASSERT_FALSE(collector.records.isEmpty());

    PvtPositionSource source;
    Fixes fixes(source);
    for (const PvtRecord& pvt : collector.records)
        source.onPvt(pvt);
    ASSERT_EQ(fixes.list.size(), collector.records.size());
    const PositionFix& first = fixes.list.first();
    EXPECT_NEAR(first.latitude, 29.44557, 1e-4);
    EXPECT_NEAR(first.longitude, -98.60664, 1e-4);
    EXPECT_EQ(first.quality, PositionFix::Quality::ThreeD);
    ASSERT_TRUE(first.altitude.has_value());
    EXPECT_TRUE(first.time.isValid());
    EXPECT_EQ(first.time.timeSpec(), Qt::UTC);
    EXPECT_GE(first.time.date(), QDate(1989, 12, 31).addDays(3773));
    EXPECT_LT(first.time.date(), QDate(1989, 12, 31).addDays(3773 + 7));

    // Readings the receiver does not stand behind give nothing.
    PvtRecord noFix = collector.records.first();
    for (std::int16_t fix : {0, 1, 6}) {
        noFix.fix = fix;
        source.onPvt(noFix);
    }
    noFix.fix = 3;
    noFix.latitude = std::nan("");
    source.onPvt(noFix);
    EXPECT_EQ(fixes.list.size(), collector.records.size());
}

TEST(PositionSource, NmeaSentencesGiveFixesOnlyWhenTheUnitHasOne) {
    struct Case {
        const char* sentence;
        bool fix;
    };
    const std::vector<Case> cases = {
        {"$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47", true},
        {"$GPGGA,,,,,,0,00,,,M,,M,,*66", false},                                   // no fix yet
        {"$GPGGA,123519,4807.038,N,01131.000,E,0,08,0.9,545.4,M,46.9,M,,", false}, // quality 0
        {"$GPGGA,123519,4807.038,X,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", false}, // hemisphere
        {"$GPGGA,123519,4899.000,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", false}, // minutes
        {"$GPGGA,123519,9907.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", false}, // latitude
        {"$GPGGA,1235", false},
        {"GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,", false},
        {"", false},
        {"$GPGSV,3,1,11,03,03,111,00,04,15,270,00,06,01,010,00,13,06,292,00*74", false},
    };
    for (const Case& c : cases) {
        NmeaPositionSource source;
        Fixes fixes(source);
        source.onSentence(QString::fromLatin1(c.sentence));
        EXPECT_EQ(fixes.list.size(), c.fix ? 1 : 0) << c.sentence;
    }

    NmeaPositionSource source;
    Fixes fixes(source);
    source.onSentence("$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A");
    ASSERT_EQ(fixes.list.size(), 1) << "RMC alone gives positions";
    EXPECT_FALSE(fixes.list[0].altitude.has_value());
    EXPECT_EQ(fixes.list[0].time, QDateTime(QDate(1994, 3, 23), QTime(12, 35, 19), Qt::UTC));
    source.onSentence("$GPGGA,123520,4807.038,S,01131.000,W,2,08,0.9,545.4,M,46.9,M,,*47");
    source.onSentence("$GPRMC,123520,A,4807.038,S,01131.000,W,022.4,084.4,230394,003.1,W*6A");
    ASSERT_EQ(fixes.list.size(), 2) << "with GGA in the stream, RMC only dates the fixes";
    const PositionFix& gga = fixes.list[1];
    EXPECT_NEAR(gga.latitude, -48.1173, 1e-4);
    EXPECT_NEAR(gga.longitude, -11.516667, 1e-4);
    EXPECT_EQ(gga.altitude, 545.4);
    EXPECT_EQ(gga.quality, PositionFix::Quality::Differential);
    EXPECT_EQ(gga.time, QDateTime(QDate(1994, 3, 23), QTime(12, 35, 20), Qt::UTC));
}

TEST(PositionSource, RecordedNmeaLogsGivePlausibleFixes) {
    for (const char* name : {"foretrex-201.log", "garmin48.log", "GPSmap-76S.log",
                             "garmin-geko201.log", "nmea-fuzzy-cases.log"}) {
        const QList<QByteArray> lines = logLines(QString::fromLatin1(name));
        ASSERT_FALSE(lines.isEmpty()) << name;
        NmeaPositionSource source;
        Fixes fixes(source);
        for (const QByteArray& line : lines)
            source.onSentence(QString::fromLatin1(line));
        for (const PositionFix& fix : fixes.list) {
            EXPECT_LE(std::abs(fix.latitude), 90) << name;
            EXPECT_LE(std::abs(fix.longitude), 180) << name;
        }
        if (QByteArray(name) == "foretrex-201.log") {
            ASSERT_FALSE(fixes.list.isEmpty());
            // Recorded at 55°04' N, 10°25' E ("5504.4343,N,01025.5386,E" and near).
            EXPECT_NEAR(fixes.list.last().latitude, 55 + 4.4343 / 60, 1e-4);
            EXPECT_NEAR(fixes.list.last().longitude, 10 + 25.5386 / 60, 1e-4);
            EXPECT_EQ(fixes.list.last().quality, PositionFix::Quality::Differential);
            EXPECT_EQ(fixes.list.last().altitude, -9.1);
        }
    }
}
