#pragma once

#include <QElapsedTimer>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace trekora {

// How the last transfer ended: every record moved, some of them (the table
// filled, the receiver's count differs, rows were refused), or none.
enum class TransferOutcome { Complete, Partial, Failed };

// What downloads and uploads share while a transfer runs. The link busy and
// transfer-finished flags live on the main window (quiet mode waits on them).
struct TransferState {
    // Records announced (less headers and links received so far); the count
    // on the wire is unsigned 16-bit.
    int expectedTotal = 0;
    TransferOutcome outcome = TransferOutcome::Complete;
    // After a download: why the projected columns are not filled everywhere
    // (one line), and whether the projection ran at all.
    QString projectionProblem;
    bool projectionRan = true;
    // Kind of the last data packet received or the kind of records being sent.
    std::uint8_t currentKind = 0;
    // Downloads of routes: the header values of the route being received.
    QStringList routeHeader;
    bool newRoute = false;
    // Uploads.
    int uploadRow = 0;
    int firstRow = 1;
    int lastRow = 0;
    bool routeHeaderSent = false;
    bool routeLinkPending = false;
};

// The transfer progress bar moves at most every few hundredths of a second: a
// repaint per record would cost more than the record itself. The first and
// the last record always show.
class ProgressPace {
public:
    bool due(int done, int total) {
        if (done <= 1 || done >= total || !m_clock.isValid() || m_clock.elapsed() >= kIntervalMs) {
            m_clock.start();
            return true;
        }
        return false;
    }

private:
    static constexpr qint64 kIntervalMs = 40;
    QElapsedTimer m_clock;
};

// The texts of the receiver information window; kept here so that they
// exist while the window is closed.
struct ReceiverInfo {
    QString productId;                       // lblProductID
    QString desc1;                           // lblGPSDesc1
    QString desc2;                           // lblGPSDesc2
    QString date;                            // lbldate
    QString time;                            // lblTime
    QString mode = QStringLiteral("Garmin"); // lblMode1
    QString waypoints, proximityWaypoints, routePoints, trackPoints;
    QString format1, format2, format3; // the capability table
};

} // namespace trekora
