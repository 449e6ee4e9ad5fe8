#pragma once

#include "app/TransferState.h"
#include "core/UserInteraction.h"

#include <QByteArray>
#include <QString>

namespace trekora {

class frmMain;
class GarminLink;

// The link to the receiver: open and close, port and baud rate, reset, the
// receiver information and the link's problem reports.
class ReceiverConnection {
public:
    ReceiverConnection(frmMain& window, GarminLink& link, TransferState& state);

    void mnuOpen_Click();
    void mnuClose_Click();
    void mnuPort_Click(int index);
    void mnuBaud_Click(int index);
    void mnuReset_Click();
    void ReturnInfo();
    void ResetLink();

    // Called by the packet dispatcher.
    void ShowProductData();
    void Receive_Protocol_Array();
    void ShowDateTime();
    void ShowPosition();

    // Link events.
    void onLine(const QString& text);
    void onLinkProblem(qint16& code, const QString& message, const QByteArray& packet);
    void onDataCounts(qint32 waypoints, qint32 proximity, qint32 routePoints, qint32 trackPoints);
    // An NMEA sentence arrived (real-time intake marks the unit this way).
    void markNmeaProduct();

    ReceiverInfo& info() { return m_info; }
    const ReceiverInfo& info() const { return m_info; }
    bool nmeaMode() const { return m_nmeaMode; }
    bool screenShotCapable() const { return m_screenShotCapable; }

private:
    void failConnect();
    Answer askAboutLink(const QString& message, Buttons buttons);
    // A transfer the link cannot finish ends as failed: the busy and done
    // flags are as after any other end, so that nothing waits on it.
    void abandonTransfer();

    frmMain& m_window;
    GarminLink& m_link;
    TransferState& m_state;
    ReceiverInfo m_info;
    bool m_nmeaMode = false;
    bool m_screenShotCapable = false;
};

} // namespace trekora
