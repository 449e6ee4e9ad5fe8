#pragma once

#include "gps/GarminRecords.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <optional>

namespace trekora {
class GarminLink;
}

namespace trekora::gps {

// One position as every source reports it: degrees on WGS 84, heights in
// metres above mean sea level. Values a source does not know stay empty.
struct PositionFix {
    enum class Quality { TwoD, ThreeD, Differential };

    double latitude = 0;
    double longitude = 0;
    std::optional<double> altitude;
    std::optional<double> horizontalError; // estimated, metres
    Quality quality = Quality::TwoD;
    QDateTime time; // UTC; invalid when the source gave none

    bool operator==(const PositionFix&) const = default;
};

// Something that yields positions: the receiver's own position stream, a
// unit speaking NMEA 0183, later perhaps a file being replayed. Sources only
// announce fixes; readings without a fix are dropped, so a consumer never
// sees a position the receiver does not stand behind.
class PositionSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    void positionReceived(const trekora::gps::PositionFix& fix);
};

// Positions from the receiver's PVT records (the link's pvtReceived).
class PvtPositionSource : public PositionSource {
    Q_OBJECT
public:
    using PositionSource::PositionSource;
    // Follows the link's position stream.
    void attach(GarminLink& link);
    void onPvt(const trekora::PvtRecord& pvt);
};

// Positions from NMEA 0183 sentences (the link's sentenceReceived): GGA
// gives position, height and quality; RMC gives the date, and the position
// when the unit sends no GGA. Malformed sentences are ignored.
class NmeaPositionSource : public PositionSource {
    Q_OBJECT
public:
    using PositionSource::PositionSource;
    // Follows the link's NMEA sentences.
    void attach(GarminLink& link);
    void onSentence(const QString& sentence);

private:
    void onGga(const QStringList& fields);
    void onRmc(const QStringList& fields);

    QDate m_date;
    bool m_ggaSeen = false;
};

} // namespace trekora::gps
