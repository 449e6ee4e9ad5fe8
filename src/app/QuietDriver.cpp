#include "app/QuietDriver.h"

#include "app/EventWait.h"
#include "app/frmMain.h"
#include "core/Settings.h"
#include "gps/ReceiverSession.h"
#include "io/FileImport.h"
#include "io/ShapefileExport.h"
#include "io/TextFile.h"
#include "proj/ProjectionCatalogue.h"
#include "table/FieldCatalogue.h"
#include "table/GpsTable.h"

namespace trekora {

namespace {

const QString kDownloadError = QStringLiteral("Error Downloading Data from GPS");
const QString kUploadError = QStringLiteral("Error Uploading Data to GPS");
const QString kUnrecognized = QStringLiteral("Unrecognized file type");

QString ending(const QString& fileName) {
    return fileName.right(3).toLower();
}

} // namespace

bool QuietDriver::Quiet_Driver(const QString& commandLine) {
    if (m_window.statusPanel(1) == QLatin1String("Not Connected"))
        return true;
    const QStringList f = commandLine.split(QLatin1Char(','));
    if (f.size() < 5)
        return false;
    const QString action = f[1].toLower();
    const QString code = f.size() > 5 ? f[5] : QString();
    m_result = false;
    if (action == QLatin1String("download"))
        m_result = Quiet_Get_DataFromGPS(f[2], f[3], f[4], code);
    else if (action == QLatin1String("upload"))
        m_result = Quiet_Get_DataToGPS(f[2], f[4], code);
    // The real-time start task keeps the program running.
    return action != QLatin1String("rt_start");
}

bool QuietDriver::applyProjectionCode(const QString& code) {
    if (code.isEmpty() || !ProjectionCatalogue::instance().findCode(code))
        return false;
    Settings::set("proj", "proj", code);
    return true;
}

bool QuietDriver::waitForTransfer() {
    // The link ends a stalled transfer; a closed port ends the wait too.
    return waitLettingEventsRun(
        [this] {
            return m_window.session().transferFinished() ||
                   m_window.session().connection() == ReceiverSession::Connection::NotConnected;
        },
        kTransferWaitMs);
}

bool QuietDriver::Quiet_Get_DataFromGPS(const QString& recordType, const QString& shapeType,
                                        const QString& fileName, const QString& projectionCode) {
    const bool projected = applyProjectionCode(projectionCode);
    if (recordType == QLatin1String("waypoint"))
        m_window.mnuWDownload_Click();
    else if (recordType == QLatin1String("track"))
        m_window.mnuTDownload_Click();
    if (!waitForTransfer() || !m_window.session().transferFinished()) {
        m_window.Set_Msg(kDownloadError);
        return false;
    }
    GpsTable& table = m_window.table();
    if (recordType == QLatin1String("waypoint") && shapeType != QLatin1String("point")) {
        table.ChangeRecordType(RecordType::Track);
        m_window.showTypeOption(RecordType::Track);
    }
    const QString type = ending(fileName);
    bool saved = false;
    if (type == QLatin1String("shp")) {
        saved = Save_Shapefile(m_window.io(), shapeType, projected, fileName, false);
    } else if (type == QLatin1String("dbf")) {
        saved = Save_DBF(m_window.io(), fileName, false);
    } else if (type == QLatin1String("txt")) {
        saved = Save_TextFile(m_window.io(), fileName, QString(), false);
    } else {
        m_window.Set_Msg(kUnrecognized);
        m_window.Set_Msg(kDownloadError);
        return false;
    }
    m_window.Set_Msg(QStringLiteral("Shapefile saved to ") + fileName);
    m_window.hideQuietStatus();
    return saved;
}

bool QuietDriver::Quiet_Get_DataToGPS(const QString& recordType, const QString& fileName,
                                      const QString& projectionCode) {
    applyProjectionCode(projectionCode);
    const QString type = ending(fileName);
    bool loaded = false;
    if (type == QLatin1String("shp")) {
        loaded = Open_Shapefile(m_window.io(), fileName);
    } else if (type == QLatin1String("dbf")) {
        loaded = Open_DBF(m_window.io(), fileName);
    } else if (type == QLatin1String("txt")) {
        loaded = Open_Textfile(m_window.io(), fileName);
    } else {
        m_window.Set_Msg(kUnrecognized);
        m_window.Set_Msg(kUploadError);
        return false;
    }
    if (!loaded) {
        m_window.Set_Msg(kUploadError);
        return false;
    }
    GpsTable& table = m_window.table();
    const QString current = table.currentRecordType();
    if (recordType == QLatin1String("waypoint") && current == RecordType::Track) {
        table.ChangeRecordType(RecordType::Waypoint);
        m_window.showTypeOption(RecordType::Waypoint);
    } else if (recordType == QLatin1String("track") && current == RecordType::Waypoint) {
        table.ChangeRecordType(RecordType::Track);
        m_window.showTypeOption(RecordType::Track);
    }
    m_window.refreshTable();
    if (m_window.isControlEnabled(QStringLiteral("mnuWptUpload"))) {
        m_window.mnuWUpload_Click();
    } else if (m_window.isControlEnabled(QStringLiteral("mnuTrkUpload"))) {
        m_window.mnuTUpload_Click();
    } else {
        m_window.Set_Msg(kUploadError);
        return false;
    }
    if (!waitForTransfer() || !m_window.session().transferFinished()) {
        m_window.Set_Msg(kUploadError);
        return false;
    }
    m_window.Set_Msg(QStringLiteral("Data uploaded to GPS successfully"));
    m_window.hideQuietStatus();
    return true;
}

} // namespace trekora
