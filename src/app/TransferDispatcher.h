#pragma once

#include "app/TransferState.h"
#include "gps/TransferRows.h"

#include <QByteArray>
#include <QString>
#include <functional>

namespace trekora {

class frmMain;
class GpsTable;
class GarminLink;
class ReceiverConnection;
class UploadSequencer;

// Downloads and the handler of every packet the receiver sends: records
// become table rows, acknowledgements drive uploads, product, capability,
// date and position packets go to the connection.
class TransferDispatcher {
public:
    TransferDispatcher(frmMain& window, GarminLink& link, TransferState& state,
                       ReceiverConnection& connection, UploadSequencer& uploader);

    void mnuWDownload_Click();
    void mnuTDownload_Click();
    void mnuRDownload_Click();

    void onPacket(const QByteArray& packet);

    // Where PVT records go (real-time intake).
    void setPvtHandler(std::function<void()> handler) { m_pvt = std::move(handler); }
    gps::SymbolTranslation& symbols() { return m_symbols; }

private:
    void download(const QString& typeKey);
    void onDataPacket(quint8 kind);
    void endOfDownload();
    void projectDownload(GpsTable& table);
    gps::RowContext rowContext() const;
    void addRow(const QStringList& values);
    void showProgress(const QString& what);

    frmMain& m_window;
    GarminLink& m_link;
    TransferState& m_state;
    ReceiverConnection& m_connection;
    UploadSequencer& m_uploader;
    gps::SymbolTranslation m_symbols;
    std::function<void()> m_pvt;
    ProgressPace m_pace;
    int m_dropped = 0; // records a full table could not take
};

} // namespace trekora
