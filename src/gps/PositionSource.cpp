#include "gps/PositionSource.h"

#include "gps/GarminLink.h"

#include <QStringList>
#include <cmath>

namespace trekora::gps {

namespace {

// Receivers count weeks from 31 December 1989 (wn_days is the day of the
// week's start) and seconds of the week from there.
const QDateTime kPvtEpoch(QDate(1989, 12, 31), QTime(0, 0), Qt::UTC);
constexpr double kMaxPlausibleError = 1.0e9;

bool plausible(double lat, double lon) {
    return std::isfinite(lat) && std::isfinite(lon) && std::abs(lat) <= 90 && std::abs(lon) <= 180;
}

// "ddmm.mmmm" and a hemisphere letter; none when either is missing or bad.
std::optional<double> nmeaAngle(const QString& value, const QString& hemisphere, int degreeDigits,
                                const char* negative) {
    if (value.size() < degreeDigits + 2 || hemisphere.size() != 1)
        return std::nullopt;
    bool okDegrees = false, okMinutes = false;
    const int degrees = value.left(degreeDigits).toInt(&okDegrees);
    const double minutes = value.mid(degreeDigits).toDouble(&okMinutes);
    if (!okDegrees || !okMinutes || minutes < 0 || minutes >= 60)
        return std::nullopt;
    const QChar h = hemisphere.at(0);
    if (h != QLatin1Char('N') && h != QLatin1Char('S') && h != QLatin1Char('E') &&
        h != QLatin1Char('W'))
        return std::nullopt;
    const double angle = degrees + minutes / 60.0;
    return h == QLatin1Char(negative[0]) ? -angle : angle;
}

std::optional<PositionFix> nmeaPosition(const QStringList& f, int at) {
    const auto lat = nmeaAngle(f.value(at), f.value(at + 1), 2, "S");
    const auto lon = nmeaAngle(f.value(at + 2), f.value(at + 3), 3, "W");
    if (!lat || !lon || !plausible(*lat, *lon))
        return std::nullopt;
    PositionFix fix;
    fix.latitude = *lat;
    fix.longitude = *lon;
    return fix;
}

QTime nmeaTime(const QString& value) {
    return QTime::fromString(value.left(6), QStringLiteral("HHmmss"));
}

// The sentence's fields without the talker, checksum and line end;
// empty for anything that is not a sentence.
QStringList fieldsOf(const QString& sentence) {
    QString text = sentence.trimmed();
    if (!text.startsWith(QLatin1Char('$')))
        return {};
    const qsizetype star = text.indexOf(QLatin1Char('*'));
    if (star >= 0)
        text.truncate(star);
    QStringList fields = text.mid(1).split(QLatin1Char(','));
    if (fields.first().size() != 5)
        return {};
    fields.first() = fields.first().mid(2); // GPGGA, GNGGA, ... → GGA
    return fields;
}

} // namespace

void PvtPositionSource::attach(GarminLink& link) {
    connect(&link, &GarminLink::pvtReceived, this, &PvtPositionSource::onPvt);
}

void NmeaPositionSource::attach(GarminLink& link) {
    connect(&link, &GarminLink::sentenceReceived, this, &NmeaPositionSource::onSentence);
}

void PvtPositionSource::onPvt(const PvtRecord& pvt) {
    // 0 unusable, 1 invalid, 2 2D, 3 3D, 4 2D differential, 5 3D differential.
    if (pvt.fix < 2 || pvt.fix > 5 || !plausible(pvt.latitude, pvt.longitude))
        return;
    PositionFix fix;
    fix.latitude = pvt.latitude;
    fix.longitude = pvt.longitude;
    fix.quality = pvt.fix >= 4   ? PositionFix::Quality::Differential
                  : pvt.fix == 3 ? PositionFix::Quality::ThreeD
                                 : PositionFix::Quality::TwoD;
    if (pvt.fix == 3 || pvt.fix == 5) // a height only with a 3D fix
        fix.altitude = double(pvt.alt) + double(pvt.msl_hght);
    if (std::isfinite(pvt.epe) && pvt.epe >= 0 && pvt.epe < kMaxPlausibleError)
        fix.horizontalError = pvt.eph > 0 ? pvt.eph : pvt.epe;
    // The time of week counts from the week's start, less the leap seconds
    // GPS time runs ahead of UTC.
    if (std::isfinite(pvt.tow) && pvt.tow >= 0 && pvt.tow < 7 * 86400.0 && pvt.wn_days < 200000)
        fix.time = kPvtEpoch.addDays(pvt.wn_days)
                       .addMSecs(qint64(std::llround((pvt.tow - pvt.leap_scnds) * 1000.0)));
    emit positionReceived(fix);
}

void NmeaPositionSource::onSentence(const QString& sentence) {
    const QStringList fields = fieldsOf(sentence);
    if (fields.isEmpty())
        return;
    if (fields.first() == QLatin1String("GGA"))
        onGga(fields);
    else if (fields.first() == QLatin1String("RMC"))
        onRmc(fields);
}

void NmeaPositionSource::onGga(const QStringList& f) {
    // $GPGGA,time,lat,N,lon,W,quality,satellites,hdop,altitude,M,...
    m_ggaSeen = true;
    bool ok = false;
    const int quality = f.value(6).toInt(&ok);
    if (!ok || quality < 1)
        return;
    std::optional<PositionFix> fix = nmeaPosition(f, 2);
    if (!fix)
        return;
    fix->quality = quality == 2 ? PositionFix::Quality::Differential : PositionFix::Quality::ThreeD;
    const double altitude = f.value(9).toDouble(&ok);
    if (ok)
        fix->altitude = altitude;
    else
        fix->quality = PositionFix::Quality::TwoD;
    const QTime time = nmeaTime(f.value(1));
    if (time.isValid() && m_date.isValid())
        fix->time = QDateTime(m_date, time, Qt::UTC);
    emit positionReceived(*fix);
}

void NmeaPositionSource::onRmc(const QStringList& f) {
    // $GPRMC,time,status,lat,N,lon,W,speed,course,date(ddmmyy),...
    const QDate date = QDate::fromString(f.value(9), QStringLiteral("ddMMyy"));
    if (date.isValid())
        m_date = date.addYears(date.year() < 1980 ? 100 : 0);
    if (m_ggaSeen || f.value(2) != QLatin1String("A"))
        return;
    std::optional<PositionFix> fix = nmeaPosition(f, 3);
    if (!fix)
        return;
    const QTime time = nmeaTime(f.value(1));
    if (time.isValid() && m_date.isValid())
        fix->time = QDateTime(m_date, time, Qt::UTC);
    emit positionReceived(*fix);
}

} // namespace trekora::gps
