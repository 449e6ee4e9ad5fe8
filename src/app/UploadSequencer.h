#pragma once

#include "app/TransferState.h"
#include "gps/TransferRows.h"

#include <QString>
#include <QStringList>

namespace trekora {

class frmMain;
class GarminLink;

// Uploads of the table's rows: a records-count packet, one packet per record
// and transfer complete. Over a serial port each acknowledgement sends the
// next packet; over USB everything goes in one loop.
class UploadSequencer {
public:
    UploadSequencer(frmMain& window, GarminLink& link, TransferState& state);

    void mnuWUpload_Click();
    void mnuTUpload_Click();
    void mnuRUpload_Click();
    void UploadTable();

    // The acknowledgement step: `kind` is the acknowledged packet kind.
    void acknowledged(quint8 kind);

    void Send_Waypoint();
    void Send_Track_Header();
    // Fills the track header from the current row and sends it.
    void sendTrackHeaderRecord();
    void Send_Track_Point();
    void Send_Route_Point();
    void Send_Route_Header();

    gps::SymbolTranslation& symbols() { return m_symbols; }

private:
    bool checkLatLong();
    // Ends an upload that sent nothing.
    void refuse();
    // Clears the busy flag and sets the done flag, whatever the outcome.
    void stop();
    void finish();
    // Idents the receiver's format cannot hold are made to fit, each one
    // distinct, and written back into the table.
    void fitNamesToReceiver();
    int trackHeaderCount() const;
    bool endOfRows();
    bool outOfRange();
    QString cell(const QString& field) const;
    double number(const QString& field) const;
    float length(const QString& field) const;
    void fillWaypoint(bool translateSymbol);
    void countSent();

    frmMain& m_window;
    GarminLink& m_link;
    TransferState& m_state;
    gps::SymbolTranslation m_symbols;
    int m_counter = 0;
    int m_total = 0;
    bool m_ended = false;      // transfer complete has gone out
    bool m_rangeError = false; // a row out of range ended the upload
    ProgressPace m_pace;
};

} // namespace trekora
