#include "app/QuietDriver.h"

#include "app/EventWait.h"
#include "app/frmMain.h"
#include "core/Settings.h"
#include "core/TerminalError.h"
#include "gps/GarminLink.h"
#include "gps/ReceiverSession.h"
#include "io/FieldMapping.h"
#include "io/FileImport.h"
#include "io/IoContext.h"
#include "io/ShapefileExport.h"
#include "io/TextFile.h"
#include "proj/ProjectionCatalogue.h"
#include "table/FieldCatalogue.h"
#include "table/GpsTable.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <cstdio>

namespace trekora {

namespace {

const QString kDownloadError = QStringLiteral("Error Downloading Data from GPS");
const QString kUploadError = QStringLiteral("Error Uploading Data to GPS");
const QString kUnrecognized = QStringLiteral("Unrecognized file type");

QString ending(const QString& fileName) {
    return fileName.right(3).toLower();
}

bool knownEnding(const QString& fileName) {
    const QString type = ending(fileName);
    return type == QLatin1String("shp") || type == QLatin1String("dbf") ||
           type == QLatin1String("txt");
}

} // namespace

QuietDriver::QuietDriver(frmMain& window)
    : m_window(window),
      m_sink([](const QString& line) { std::fprintf(stderr, "%s\n", qPrintable(line)); }) {}

void QuietDriver::report(const QString& text) {
    const QString line = terminal::errorLine(QString(), text);
    m_reports << line;
    if (m_sink)
        m_sink(line);
}

bool QuietDriver::fail(QuietExit status, const QString& reason, const QString& statusMessage) {
    m_exit = status;
    m_result = false;
    m_window.Set_Msg(statusMessage);
    report(reason.isEmpty() ? statusMessage : statusMessage + QStringLiteral(": ") + reason);
    return false;
}

bool QuietDriver::Quiet_Driver(const QString& commandLine) {
    const bool exit = runTask(commandLine);
    m_finished = true;
    return exit;
}

bool QuietDriver::runTask(const QString& commandLine) {
    m_result = false;
    m_exit = QuietExit::Done;
    const bool connected = m_window.session().connected();
    if (!QuietCommand::hasAllFields(commandLine)) {
        // Too short to be a task: the program stays open, as after a normal
        // start, unless there is no receiver to work with.
        if (connected)
            return false;
        m_exit = QuietExit::Failed;
        report(QStringLiteral("No GPS answered on port %1").arg(m_window.portIndex()));
        return true;
    }
    QString error;
    const std::optional<QuietCommand> command = QuietCommand::parse(commandLine, &error);
    if (!command) {
        m_exit = QuietExit::Usage;
        report(error);
        return true;
    }
    if (!connected) {
        m_exit = QuietExit::Failed;
        report(QStringLiteral("No GPS answered on port %1: nothing was transferred")
                   .arg(m_window.portIndex()));
        return true;
    }
    switch (command->action) {
    case QuietCommand::Action::Download:
        Quiet_Get_DataFromGPS(command->recordType(), command->shapeType(), command->fileName(),
                              command->projectionCode());
        break;
    case QuietCommand::Action::Upload:
        Quiet_Get_DataToGPS(command->recordType(), command->fileName(), command->projectionCode());
        break;
    case QuietCommand::Action::RealTimeStart:
        // The real-time window is not part of this build: a task that would
        // keep running without logging anything is refused instead.
        m_exit = QuietExit::Failed;
        report(QStringLiteral("Real-time logging is not available in this version"));
        break;
    }
    return true;
}

bool QuietDriver::applyProjectionCode(const QString& code) {
    if (code.isEmpty())
        return false;
    if (!ProjectionCatalogue::instance().findCode(code)) {
        report(QStringLiteral("Projection code %1 is not in the projection catalogue: the stored "
                              "projection is used")
                   .arg(code));
        return false;
    }
    Settings::set("proj", "proj", code);
    return true;
}

bool QuietDriver::transferFailed() const {
    return m_window.transferState().outcome == TransferOutcome::Failed;
}

bool QuietDriver::transferFailedPartly() const {
    return m_window.transferState().outcome == TransferOutcome::Partial;
}

bool QuietDriver::waitForTransfer() {
    // The link reports a stalled transfer and quiet mode gives it up (see
    // ReceiverConnection); should the link stay silent about it too, the
    // silence itself ends the wait.
    QElapsedTimer silence;
    silence.start();
    const QMetaObject::Connection heard =
        QObject::connect(&m_window.garmin(), &GarminLink::PacketReceived, &m_window.garmin(),
                         [&silence](const QByteArray&) { silence.restart(); });
    bool silent = false;
    waitLettingEventsRun(
        [&] {
            if (m_window.session().transferFinished() ||
                m_window.session().connection() == ReceiverSession::Connection::NotConnected)
                return true;
            silent = silence.elapsed() > kSilenceMs;
            return silent;
        },
        kTransferWaitMs);
    QObject::disconnect(heard);
    if (silent)
        report(QStringLiteral("The GPS fell silent: the transfer was given up"));
    return m_window.session().transferFinished() && !silent && !transferFailed();
}

bool QuietDriver::outputUsable(const QString& fileName) {
    const QFileInfo file(fileName);
    if (file.isDir())
        return fail(QuietExit::Failed, fileName + QStringLiteral(" is a folder, not a file"),
                    kDownloadError);
    const QFileInfo folder(file.absolutePath());
    if (!folder.isDir())
        return fail(QuietExit::Failed,
                    QStringLiteral("the folder ") + folder.filePath() +
                        QStringLiteral(" does not exist"),
                    kDownloadError);
    if (!folder.isWritable() || (file.exists() && !file.isWritable()))
        return fail(QuietExit::Failed, fileName + QStringLiteral(" cannot be written"),
                    kDownloadError);
    return true;
}

bool QuietDriver::writeOutput(const QString& shapeType, bool projected, const QString& fileName) {
    const QString type = ending(fileName);
    if (type == QLatin1String("shp"))
        return Save_Shapefile(m_window.io(), shapeType, projected, fileName, false);
    if (type == QLatin1String("dbf"))
        return Save_DBF(m_window.io(), fileName, false);
    return Save_TextFile(m_window.io(), fileName, QString(), false);
}

bool QuietDriver::Quiet_Get_DataFromGPS(const QString& recordType, const QString& shapeType,
                                        const QString& fileName, const QString& projectionCode) {
    m_result = false;
    // Everything that can be told from the command line is checked before
    // the receiver is asked for anything, and before any file is made.
    if (!knownEnding(fileName)) {
        m_window.Set_Msg(kUnrecognized);
        return fail(QuietExit::Failed, kUnrecognized + QStringLiteral(" of ") + fileName,
                    kDownloadError);
    }
    if (!outputUsable(fileName))
        return false;
    const bool projected = applyProjectionCode(projectionCode);
    const bool waypoints = recordType == QLatin1String("waypoint");
    if (!m_window.isControlEnabled(waypoints ? QStringLiteral("mnuWptDownload")
                                             : QStringLiteral("mnuTrkDownload")))
        return fail(QuietExit::Failed, QStringLiteral("the GPS cannot send data now (NMEA mode?)"),
                    kDownloadError);
    if (waypoints)
        m_window.mnuWDownload_Click();
    else
        m_window.mnuTDownload_Click();
    if (!waitForTransfer())
        return fail(QuietExit::Failed, QString(), kDownloadError);

    const TransferState& state = m_window.transferState();
    if (projected && !state.projectionRan)
        return fail(QuietExit::Failed,
                    QStringLiteral("the points could not be projected: ") + state.projectionProblem,
                    kDownloadError);
    if (!state.projectionProblem.isEmpty())
        report(state.projectionProblem);
    GpsTable& table = m_window.table();
    if (waypoints && shapeType != QLatin1String("point")) {
        table.ChangeRecordType(RecordType::Track);
        m_window.showTypeOption(RecordType::Track);
    }
    IoReport& written = m_window.io().report;
    written.clear();
    if (!writeOutput(shapeType, projected, fileName))
        return fail(QuietExit::Failed, fileName + QStringLiteral(" could not be written"),
                    kDownloadError);
    // Values the file could not hold as they stood make the output partial.
    const bool notWritten = written.hasProblems();
    for (const QString& line : written.problemLines())
        report(line);
    written.clear();
    m_window.Set_Msg(QStringLiteral("Shapefile saved to ") + fileName);
    m_window.hideQuietStatus();
    m_result = true;
    m_exit = QuietExit::Done;
    if (transferFailedPartly() || !state.projectionProblem.isEmpty() || notWritten) {
        m_exit = QuietExit::Partial;
        report(QStringLiteral("Shapefile saved to ") + fileName +
               QStringLiteral(", but not every record of the GPS is in it"));
    }
    return true;
}

bool QuietDriver::Quiet_Get_DataToGPS(const QString& recordType, const QString& fileName,
                                      const QString& projectionCode) {
    m_result = false;
    if (!knownEnding(fileName)) {
        m_window.Set_Msg(kUnrecognized);
        return fail(QuietExit::Failed, kUnrecognized + QStringLiteral(" of ") + fileName,
                    kUploadError);
    }
    applyProjectionCode(projectionCode);
    // The field-mapping dialog is never shown: the suggestions are taken.
    AcceptingFieldChooser chooser;
    IoContext& shared = m_window.io();
    IoContext io{shared.table, chooser, shared.projectTable, shared.writePrj, {}};
    const QString type = ending(fileName);
    bool loaded = false;
    if (type == QLatin1String("shp"))
        loaded = Open_Shapefile(io, fileName);
    else if (type == QLatin1String("dbf"))
        loaded = Open_DBF(io, fileName);
    else
        loaded = Open_Textfile(io, fileName);
    if (!loaded)
        return fail(QuietExit::Failed,
                    chooser.refusal().isEmpty()
                        ? fileName + QStringLiteral(" could not be loaded")
                        : QStringLiteral("required fields missing in ") + fileName +
                              QStringLiteral(": ") + chooser.refusal(),
                    kUploadError);
    // Records the file could not give (a coordinate out of range, say) are
    // not sent: the upload is then partial.
    const bool refusedRows = io.report.hasProblems();
    for (const QString& line : io.report.problemLines())
        report(line);
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
    if (m_window.isControlEnabled(QStringLiteral("mnuWptUpload")))
        m_window.mnuWUpload_Click();
    else if (m_window.isControlEnabled(QStringLiteral("mnuTrkUpload")))
        m_window.mnuTUpload_Click();
    else
        return fail(QuietExit::Failed, QStringLiteral("the GPS cannot take data now"),
                    kUploadError);
    if (!waitForTransfer())
        return fail(QuietExit::Failed, QString(), kUploadError);
    m_window.hideQuietStatus();
    m_result = true;
    if (transferFailedPartly() || refusedRows) {
        m_exit = QuietExit::Partial;
        m_window.Set_Msg(kUploadError);
        report(kUploadError + QStringLiteral(": only part of the data was sent"));
        return true;
    }
    m_window.Set_Msg(QStringLiteral("Data uploaded to GPS successfully"));
    return true;
}

} // namespace trekora
